// One capture of a key press: the keyboard read every 10 ms or so, the first change against the
// capture's first reading taken by the rules of keys/changed_key.h, the countdown shown as the time
// passes, and the key stored in its input's byte. The platform gives it a thread, a clock and a pause.
#pragma once

#include "keys/changed_key.h"
#include "keys/keyboard.h"

#include <functional>

// The number of the sequence that runs, 0 for none: written by the dialog, read by the workers.
extern uint8_t gRunningSequence;

// What a step of a sequence that found its key hands the next one (keys/changed_key.h), written by
// that step before it reports: the next step starts from it, so a key that goes down in the same
// reading, or while the next step is being started (a roll of the hand), is still a press for it.
extern StepCarry gSequenceCarry;

// A capture that is one step of a sequence carries the sequence's number (a single capture: 0). It
// takes only a key that goes down, so a key still held from the step before is no change; a mouse
// button is no key; and it stops, storing nothing, as soon as gRunningSequence no longer holds its
// number. A step after the first starts from gSequenceCarry rather than a reading of its own.
struct CaptureJob {
    KeyCode* target; // the settings record's byte of the input
    uint8_t sequence;
    bool fromCarry;
    KeyboardReader reader;
};

struct CaptureCalls {
    uint32_t (*now)(); // milliseconds, wrapping around
    void (*pause)();
    std::function<void(int stepsLeft)> showStep;
    bool countTaps; // a key that went down and up between two readings counts
};

inline constexpr int CaptureTimedOut = -1;
inline constexpr int CaptureWasStopped = -2;

// Runs the capture to its end: the key code, stored in the target; CaptureTimedOut; or
// CaptureWasStopped, with nothing stored.
int RunCapture(const CaptureJob& job, const CaptureCalls& calls);
