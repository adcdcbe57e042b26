// Owning wrappers for Win32 handles: each closes its handle in the destructor, cannot be copied,
// and hands ownership over with Attach / Detach.
#pragma once
#include <windows.h>

template <class Traits>
class CScopedHandle {
public:
    typedef typename Traits::Type Type;

    CScopedHandle() : m_h(Traits::Invalid()) {}
    explicit CScopedHandle(Type h) : m_h(h) {}
    ~CScopedHandle() { Close(); }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;

    Type Get() const { return m_h; }
    operator Type() const { return m_h; }
    bool IsValid() const { return m_h != Traits::Invalid(); }

    void Attach(Type h) { Close(); m_h = h; }
    Type Detach() { Type h = m_h; m_h = Traits::Invalid(); return h; }
    void Close()
    {
        if (IsValid())
            Traits::Close(m_h);
        m_h = Traits::Invalid();
    }

private:
    Type m_h;
};

struct CKernelHandleTraits {
    typedef HANDLE Type;
    static Type Invalid() { return NULL; }
    static void Close(Type h) { ::CloseHandle(h); }
};

// A file opened with CreateFile: INVALID_HANDLE_VALUE, not NULL, means none.
struct CFileHandleTraits {
    typedef HANDLE Type;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};

struct CFindHandleTraits {
    typedef HANDLE Type;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};

struct CRegKeyTraits {
    typedef HKEY Type;
    static Type Invalid() { return NULL; }
    static void Close(Type h) { ::RegCloseKey(h); }
};

struct CIconTraits {
    typedef HICON Type;
    static Type Invalid() { return NULL; }
    static void Close(Type h) { ::DestroyIcon(h); }
};

struct CBrushTraits {
    typedef HBRUSH Type;
    static Type Invalid() { return NULL; }
    static void Close(Type h) { ::DeleteObject(h); }
};

typedef CScopedHandle<CKernelHandleTraits> CHandle;
typedef CScopedHandle<CFileHandleTraits> CFileHandle;
typedef CScopedHandle<CFindHandleTraits> CFindHandle;
typedef CScopedHandle<CRegKeyTraits> CRegKey;
typedef CScopedHandle<CIconTraits> CIcon;
typedef CScopedHandle<CBrushTraits> CBrush;

// A window's device context, released in the destructor.
class CClientDC {
public:
    explicit CClientDC(HWND hWnd) : m_hWnd(hWnd), m_hDC(::GetDC(hWnd)) {}
    ~CClientDC() { if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC); }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    operator HDC() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// Selects a GDI object into a DC and restores the previous one in the destructor.
class CSelectObject {
public:
    CSelectObject(HDC hDC, HGDIOBJ hObj) : m_hDC(hDC), m_hOld(hObj ? ::SelectObject(hDC, hObj) : NULL) {}
    ~CSelectObject() { if (m_hOld) ::SelectObject(m_hDC, m_hOld); }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};
