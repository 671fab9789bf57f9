// Key captures, on the dialog's thread: a single one for one input, or the sequence; at most one runs.
// A capture's first reading is its snapshot. What they do comes back as events, in order.
#pragma once

#include "keys/changed_key.h"

#include <cstdint>
#include <span>
#include <vector>

// The countdown follows the time passed, not the ticks: a timer fires up to a Windows tick (15.6 ms)
// late, and a hundred 100 ms ticks would stretch the ten seconds to about eleven.
inline constexpr int CaptureSteps = 100;
inline constexpr uint32_t CaptureStepMs = 100;
inline constexpr uint32_t CaptureLengthMs = CaptureSteps * CaptureStepMs;

// 100 at the start, down to 1 from 9.9 s on. `elapsed` is a difference of two readings, so the
// clock's wrap (GetTickCount's, after 49.7 days) does no harm.
constexpr int CaptureStepAt(uint32_t elapsed) {
    return elapsed >= CaptureLengthMs ? 1 : CaptureSteps - static_cast<int>(elapsed / CaptureStepMs);
}

// The platform's keyboard fills a sample (keys/changed_key.h); false when it cannot be read.
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

// `startingKey` (Enter or Space) pressed the button; it is passed over until seen up. NoKey: a click.
void StartSingleCapture(CaptureInput input, uint32_t now, KeyCode startingKey, CaptureEvents& events);
// Ends after the last input, when an input's time runs out, or when it is stopped.
void StartSequence(std::span<const CaptureInput> order, uint32_t now, KeyCode startingKey,
                   CaptureEvents& events);
void SkipSequenceStep(uint32_t now, CaptureEvents& events);
void StopSequence(CaptureEvents& events);
// A mouse press ends the single capture; the sequence, whose 跳過 and 停止 are clicks, goes on.
void StopSingleCapture(CaptureEvents& events);
void StopAllCaptures(CaptureEvents& events);

// The reading is the caller's too (the key test's); false when the keyboard cannot be read.
bool ReadKeyboardIntoCaptures(uint32_t now, KeySample& reading, CaptureEvents& events);
void TickCaptures(uint32_t now, CaptureEvents& events);
