// "代码对应": the pairs of client and platform organisation codes of OrgMap.ini. Adding and deleting a
// pair creates and removes its two directories at once; the list itself is stored on apply, and only
// once it has changed.
#pragma once
#include "framework/ListView.h"
#include "framework/PropertySheet.h"

#include <string>

class CPropPageOrgMap : public CPropertyPage {
public:
    CPropPageOrgMap();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(UINT id, UINT code, HWND hCtl) override;
    BOOL OnNotify(NMHDR* pNMHDR, LRESULT& result) override;
    void OnOK() override;

private:
    void LoadMappings();
    void SaveMappings();
    void OnAddMapping();
    void OnDeleteMapping();
    void OnClickMappingList(NMHDR* pNMHDR, LRESULT& result);

    // Set by every add and delete; never reset, so every later apply of the sheet stores again.
    int m_bMappingChanged;
    CListView m_listMapping;
    std::string m_strClientCode;
    std::string m_strPlatformCode;
};
