// Capture of one key press on a worker thread of its own, started by a click on a capture button.
#pragma once

#include "keys/changed_key.h"

#include <windows.h>

#include <cstdint>

// A capture that is one step of a sequence over every input carries the sequence's number (a single
// capture: 0). It takes only a key that goes down, so a key still held from the step before is no
// change; a mouse button is no key; and it stops, storing nothing, as soon as gRunningSequence no
// longer holds its number.
struct CaptureRequest {
    HWND dialog;
    int buttonId;
    uint8_t sequence;
};

// The number of the sequence that runs, 0 for none: written by the dialog, read by the workers.
extern uint8_t gRunningSequence;

// What a step of a sequence that found its key hands the next one (keys/changed_key.h), written by
// that step before it reports: the next step starts from it, so a key that goes down in the same
// sample, or while the next step is being started (a roll of the hand), is still a press for it.
extern StepCarry gSequenceCarry;

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

// The thread procedure (its parameter is what StartCapture hands it): waits about ten seconds for
// a key, stores its code, reports to the dialog.
DWORD WINAPI CaptureKey(void* request);

// Starts CaptureKey on a new thread with its own copy of the request; false, after a warning when the
// keyboard cannot be opened, if no capture started. A step of a sequence after the first starts from
// gSequenceCarry rather than a snapshot of its own.
bool StartCapture(const CaptureRequest& request, bool fromCarry = false);
