// What test threads share is guarded with this: the win32 thread model's C++ library has no
// std::mutex. It has lock() and unlock(), so std::lock_guard holds it.
#pragma once
#include <windows.h>

namespace test {

class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&m_cs); }
    ~CriticalSection() { ::DeleteCriticalSection(&m_cs); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void lock() { ::EnterCriticalSection(&m_cs); }
    void unlock() { ::LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION m_cs;
};

} // namespace test
