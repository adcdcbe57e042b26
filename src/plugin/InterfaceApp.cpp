#include "plugin/InterfaceApp.h"

#include "settings/Settings.h"

#include <cstring>

CInterfaceApp::CInterfaceApp() : m_bUserOrgIDTooLong(false)
{
    std::memset(m_szUserOrgID, 0, sizeof(m_szUserOrgID));
}

BOOL CInterfaceApp::InitInstance()
{
    const std::string userOrgID = settings::GetString(settings::kUserOrgID);
    m_bUserOrgIDTooLong = userOrgID.size() >= sizeof(m_szUserOrgID);
    std::memset(m_szUserOrgID, 0, sizeof(m_szUserOrgID));
    if (!m_bUserOrgIDTooLong)
        std::memcpy(m_szUserOrgID, userOrgID.c_str(), userOrgID.size());
    return CApp::InitInstance();
}

UserOrgID CInterfaceApp::GetUserOrgID() const
{
    UserOrgID id;
    id.strValue = m_szUserOrgID;
    id.bTooLong = m_bUserOrgIDTooLong;
    return id;
}

CInterfaceApp* GetInterfaceApp()
{
    return static_cast<CInterfaceApp*>(CApp::Get());
}
