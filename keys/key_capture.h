// Capture of one key press on a worker thread of its own, started by a click on a capture button.
#pragma once

#include <windows.h>

// The keyboard layout is the dialog thread's, taken at the click: the worker's own thread may have
// another (layouts are per thread on XP and 7, and may be per window from Windows 8 on).
struct CaptureRequest {
    HWND dialog;
    int buttonId;
    HKL keyboardLayout;
};

// Worker reports, posted to the dialog (never sent, so a closed dialog simply drops them).
// WM_CAPTURE_COUNTDOWN: wParam = capture button, lParam = steps left.
// WM_CAPTURE_FINISHED: wParam = capture button, lParam = CaptureFinishedWithKey | scan value, or 0.
enum CaptureMessage : UINT {
    WM_CAPTURE_COUNTDOWN = WM_APP + 1,
    WM_CAPTURE_FINISHED,
};
inline constexpr LPARAM CaptureFinishedWithKey = 0x10000;

// The thread procedure: waits about ten seconds for a key, stores its code, reports to the dialog.
DWORD WINAPI CaptureKey(void* request);

// Starts CaptureKey on a new thread with its own copy of the request; false if no thread started.
bool StartCapture(const CaptureRequest& request);
