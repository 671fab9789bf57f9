// GoogleTest's own place for platform adjustments, found before its empty default in the Windows
// test build. The win32 thread model that the program is built with has no std::mutex or
// std::condition_variable, which GoogleTest's Notification uses; this one waits on a Win32 event.
#pragma once

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
  public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

  private:
    HANDLE event_;
};

} // namespace testing::internal
