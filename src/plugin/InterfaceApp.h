// The plug-in's application object: one static instance per loaded library.
#pragma once
#include "framework/App.h"
#include "engine/RunInput.h"
#include "settings/Settings.h"

class CInterfaceApp : public CApp {
public:
    CInterfaceApp();

    // Sets the registry key and copies UserOrgID; always succeeds.
    BOOL InitInstance() override;

    // The user's platform organisation code as read at load: at most 16 bytes. A longer stored code is
    // not cut (a cut code could name another organisation's folder): the copy stays empty and
    // m_bUserOrgIDTooLong is set, and import runs refuse to start.
    char m_szUserOrgID[settings::kUserOrgIDMax + 1];
    bool m_bUserOrgIDTooLong;

    // The code as runs receive it.
    UserOrgID GetUserOrgID() const;
};

CInterfaceApp* GetInterfaceApp();
