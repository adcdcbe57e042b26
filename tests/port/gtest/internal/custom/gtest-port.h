// GoogleTest's own hook for platform settings: tests/CMakeLists.txt puts this folder before
// GoogleTest's headers, so this file is read instead of its empty default.
//
// The binaries are built with the win32 thread model, whose C++ library has no std::mutex or
// std::condition_variable. GoogleTest needs them only for its Notification class (used when its
// own thread helpers start threads); this one waits on a Win32 event instead.
#pragma once
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : m_hEvent(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { ::CloseHandle(m_hEvent); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { ::SetEvent(m_hEvent); }
    void WaitForNotification() { ::WaitForSingleObject(m_hEvent, INFINITE); }

private:
    HANDLE m_hEvent;
};

} // namespace internal
} // namespace testing
