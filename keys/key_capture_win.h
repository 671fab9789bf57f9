// A capture (keys/key_capture.h) on a worker thread of its own, started by a click on a capture
// button or by a step of a sequence; it reports to the dialog only by posting messages.
#pragma once

#include "keys/key_capture.h"

#include <windows.h>

#include <cstdint>

// The button's ID only comes back in the reports; the key goes to `target`.
struct CaptureRequest {
    HWND dialog;
    int buttonId;
    KeyCode* target;
    uint8_t sequence;
};

// Worker reports, posted to the dialog (never sent, so a closed dialog simply drops them).
// WM_CAPTURE_COUNTDOWN: wParam = capture button, lParam = steps left.
// WM_CAPTURE_FINISHED: wParam = capture button, lParam = CaptureFinishedWithKey | key code, or 0
// when the time ran out, or CaptureStopped; a step of a sequence has its number in bits 24-31.
enum CaptureMessage : UINT {
    WM_CAPTURE_COUNTDOWN = WM_APP + 1,
    WM_CAPTURE_FINISHED,
};
inline constexpr LPARAM CaptureFinishedWithKey = 0x10000;
inline constexpr LPARAM CaptureStopped = 0x20000;
inline constexpr int CaptureSequenceShift = 24;

inline LPARAM CaptureResultOfSequence(uint8_t sequence) {
    return static_cast<LPARAM>(static_cast<uint32_t>(sequence) << CaptureSequenceShift);
}
inline uint8_t SequenceOfCaptureResult(LPARAM result) {
    return static_cast<uint8_t>(static_cast<uint32_t>(result) >> CaptureSequenceShift);
}

// Starts a capture on a new thread with its own copy of the request; false, after a warning when the
// keyboard cannot be opened, if no capture started. A step of a sequence after the first starts from
// gSequenceCarry rather than a reading of its own.
bool StartCapture(const CaptureRequest& request, bool fromCarry = false);
