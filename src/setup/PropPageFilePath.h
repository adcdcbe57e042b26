// "数据文件路径": the send and receive directories, the data-file location (shown read-only and written
// back as loaded) and the delete flag, loaded when the page object is built.
#pragma once
#include "framework/PropertySheet.h"

#include <string>

class CPropPageFilePath : public CPropertyPage {
public:
    CPropPageFilePath();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(UINT id, UINT code, HWND hCtl) override;
    // A folder typed as a relative path is refused: a run would resolve it against whatever current
    // directory the host has then.
    bool OnKillActive() override;
    void OnOK() override;

private:
    void OnBrowseDestPath();
    void OnBrowseSourcePath();
    void OnChangeEdit();
    // Lets the user pick a file-system folder into member; a cancelled browser changes nothing.
    void BrowseFolder(const char* title, std::string& member);

    std::string m_strDestPath;
    std::string m_strSourcePath;
    std::string m_strExportLocation;
    int m_bIsDeleted;
};
