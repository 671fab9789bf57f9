// Key captures, all on the dialog's thread. A single capture waits for a key for one input; the
// sequence captures a list of inputs one after the other. At most one of them runs: a capture that
// starts ends the one before, as a stop does. They run on what the dialog hands them: readings of
// the keyboard (when, dialog/captures_win.h says), the ticks of a clock while a capture runs, and
// the user's clicks. A capture's first reading is only its snapshot; the key it takes follows
// keys/changed_key.h, its countdown and its end the schedule below. What they do comes back as
// events, in the order it happened, for the dialog to store and show.
#pragma once

#include "keys/changed_key.h"

#include <cstdint>
#include <span>
#include <vector>

// The timing of one key capture: the countdown and the end follow the time that has passed since
// the capture started, not the number of ticks. A timer fires a Windows timer tick (15.6 ms by
// default, whatever other programs ask for since Windows 10 2004) or more after it was due, so
// counting a hundred 100 ms ticks would stretch the promised ten seconds to about eleven.
inline constexpr int CaptureSteps = 100;
inline constexpr uint32_t CaptureStepMs = 100;
inline constexpr uint32_t CaptureLengthMs = CaptureSteps * CaptureStepMs;

// The step due once `elapsed` ms have passed: 100 at the start, down to 1 from 9.9 s on. The clock
// may wrap around (GetTickCount does after 49.7 days): `elapsed` is a difference of two readings.
constexpr int CaptureStepAt(uint32_t elapsed) {
    return elapsed >= CaptureLengthMs ? 1 : CaptureSteps - static_cast<int>(elapsed / CaptureStepMs);
}

// The keyboard, behind a seam: the platform's device fills a sample with every key's state under
// the number the bindings file stores, and the keys that went down since its previous reading, in
// the order they went down, however short the press; false when it cannot be read.
struct KeyboardDevice {
    bool (*read)(KeySample& sample);
};
extern KeyboardDevice gKeyboardDevice;

// An input, by the number the dialog gives it (its capture button's ID).
using CaptureInput = int;

enum CaptureEventKind : uint8_t {
    CaptureCountdown, // value: the step to show, 100 down to 1
    CaptureKeyTaken,  // value: the key code, for the input to hold
    CaptureTimedOut,  // nothing taken; the field goes on showing 1
    CaptureStopped,   // nothing taken; the field shows the input's key again
    CaptureSkipped,   // 跳過: the input is left with no key
    SequenceEnded,
};

struct CaptureEvent {
    CaptureEventKind kind;
    CaptureInput input;
    int value;
    bool inSequence;
};
using CaptureEvents = std::vector<CaptureEvent>;

bool SingleCaptureRuns(CaptureInput input);
bool SequenceRuns();
bool AnyCaptureRuns();

// Each capture starts by showing 100 and takes the next reading as its snapshot. `startingKey` is
// the key that pressed the button (Enter or Space), or NoKey for a click: the capture passes it
// over until it has been seen up, so only a new press of it counts.
void StartSingleCapture(CaptureInput input, uint32_t now, KeyCode startingKey, CaptureEvents& events);
// The inputs in turn, each taking the next key that goes down; the sequence ends after the last
// input, when an input's time runs out, or when it is stopped.
void StartSequence(std::span<const CaptureInput> order, uint32_t now, KeyCode startingKey,
                   CaptureEvents& events);
void SkipSequenceStep(uint32_t now, CaptureEvents& events);
void StopSequence(CaptureEvents& events);
// A mouse press ends the single capture with nothing stored: a click meant for another control
// (OK, another input's button) is no key. The sequence, whose 跳過 and 停止 are clicks, goes on.
void StopSingleCapture(CaptureEvents& events);
void StopAllCaptures(CaptureEvents& events);

// Reads the keyboard once and hands the reading to the capture that runs; false, with nothing
// handed, when the keyboard cannot be read. The reading is the caller's too (the key test's).
bool ReadKeyboardIntoCaptures(uint32_t now, KeySample& reading, CaptureEvents& events);
// The countdown, and the end of a capture whose time is up; the keyboard is not read.
void TickCaptures(uint32_t now, CaptureEvents& events);
