// Which key a capture takes: a single capture any change against its snapshot, a step of a sequence
// only a key that goes down, so a key still held from the step before counts once pressed again.
#pragma once

#include "keys/key_codes.h"

#include <cstdint>

// One byte per key code: KeyIsDown (DirectInput's own bit), and KeyWentDown when it went down since
// the previous sample, however short the press; those keys are listed in the order they went down.
inline constexpr uint8_t KeyIsDown = 0x80;
inline constexpr uint8_t KeyWentDown = 0x01;
struct KeySample {
    uint8_t state[KeyCodeCount];
    KeyCode wentDownInOrder[KeyCodeCount];
    uint16_t wentDownCount;
};

void MarkWentDown(KeySample& sample, KeyCode code);

inline bool IsKeyDown(uint8_t state) {
    return (state & KeyIsDown) != 0;
}

struct ChangeRules {
    bool countTaps;
    // Without it, a key seen up is marked up in the snapshot, so that its next press counts.
    bool countReleases;
};

inline constexpr ChangeRules SingleCaptureRules = {true, true};
inline constexpr ChangeRules SequenceStepRules = {true, false};

// The left Ctrl that the system adds to the right Alt key's every press on layouts with AltGr.
bool IsAltGrControl(const KeySample& now, int code);

// The first key to go down, else the lowest code that changed, or -1. AltGr's Ctrl is the right Alt
// key. No key has the E0 Shift codes that keyboards fake around a gray navigation key.
int ChangedKey(KeySample& snapshot, const KeySample& now, ChangeRules rules);

// What a step hands the next: its snapshot and its sample, with its key down. The next step looks at
// that sample first, so another key that went down in it is taken next.
struct StepCarry {
    KeySample snapshot;
    KeySample sample;
};
StepCarry CarryToNextStep(const KeySample& snapshot, const KeySample& sample, int takenKey);
