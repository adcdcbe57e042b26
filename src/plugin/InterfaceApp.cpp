#include "plugin/InterfaceApp.h"

#include "settings/Settings.h"

#include <cstring>

CInterfaceApp::CInterfaceApp() : m_bUserOrgIDTooLong(false)
{
    std::memset(m_szUserOrgID, 0, sizeof(m_szUserOrgID));
}

BOOL CInterfaceApp::InitInstance()
{
    const UserOrgID id = UserOrgIDOf(settings::GetString(settings::kUserOrgID));
    static_assert(sizeof(m_szUserOrgID) > settings::kUserOrgIDMax, "room for every ID a run takes");
    m_bUserOrgIDTooLong = id.bTooLong;
    std::memset(m_szUserOrgID, 0, sizeof(m_szUserOrgID));
    std::memcpy(m_szUserOrgID, id.strValue.c_str(), id.strValue.size());
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
