// "数据库参数": the database connection values of the profile, loaded when the page object is built.
#pragma once
#include "framework/PropertySheet.h"

#include <string>

class CPropPageDatabase : public CPropertyPage {
public:
    CPropPageDatabase();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(UINT id, UINT code, HWND hCtl) override;
    void OnOK() override;

private:
    void OnChangeEdit();

    std::string m_strDataSource;
    std::string m_strPassword;
    std::string m_strUserName;
};
