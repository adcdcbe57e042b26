#include "framework/Window.h"

#include <map>
#include <vector>

namespace {

// The registered objects by window. A window property would do, but Wine answers every GetProp with a
// round trip to its server, and a list filled row by row sends its dialog several notifications a row.
class CWindowMap {
public:
    CWindowMap() { ::InitializeCriticalSection(&m_lock); }
    ~CWindowMap() { ::DeleteCriticalSection(&m_lock); }
    CWindow* Find(HWND hWnd)
    {
        ::EnterCriticalSection(&m_lock);
        auto at = m_objects.find(hWnd);
        CWindow* pWnd = at != m_objects.end() ? at->second : nullptr;
        ::LeaveCriticalSection(&m_lock);
        return pWnd;
    }
    void Set(HWND hWnd, CWindow* pWnd)
    {
        ::EnterCriticalSection(&m_lock);
        if (pWnd != nullptr)
            m_objects[hWnd] = pWnd;
        else
            m_objects.erase(hWnd);
        ::LeaveCriticalSection(&m_lock);
    }

private:
    CRITICAL_SECTION m_lock;
    std::map<HWND, CWindow*> m_objects;
};

CWindowMap& Objects()
{
    static CWindowMap s_objects;
    return s_objects;
}

} // namespace

std::string CWindow::GetText(HWND hWnd)
{
    int length = ::GetWindowTextLengthA(hWnd);
    if (length <= 0)
        return std::string();
    std::vector<char> buffer(length + 1, '\0');
    int copied = ::GetWindowTextA(hWnd, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? copied : 0);
}

CWindow* CWindow::FromHandle(HWND hWnd)
{
    return hWnd ? Objects().Find(hWnd) : nullptr;
}

BOOL CWindow::WalkPreTranslateTree(MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h != NULL;) {
        CWindow* pWnd = FromHandle(h);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if ((::GetWindowLongA(h, GWL_STYLE) & WS_CHILD) == 0)
            break;
        h = ::GetParent(h);
    }
    return FALSE;
}

void CWindow::Register(HWND hWnd)
{
    m_hWnd = hWnd;
    Objects().Set(hWnd, this);
}

void CWindow::Unregister()
{
    if (m_hWnd)
        Objects().Set(m_hWnd, nullptr);
    m_hWnd = NULL;
}
