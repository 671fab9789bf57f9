// Which key a capture takes. A single capture takes the first key whose up/down state differs from
// its snapshot, the capture's first sample, or that went down and up again between two samples. A
// step of a sequence takes only a key that goes down: its release is no change, so a key still held
// from the input before (or held all along) is passed over until it is pressed again. Keys that go
// down in the same sample of a sequence each take an input of their own, one step after the other,
// in the order they went down.
#pragma once

#include "keys/key_codes.h"

#include <cstdint>

// The state of every key at one moment, one byte per key code: KeyIsDown while it is down (the bit
// DirectInput itself reports), KeyWentDown when it went down since the previous sample, however
// short the press. The keys that went down are also listed, each once, in the order they went down.
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
    // A key that is up and was up but went down in between counts too.
    bool countTaps;
    // A key that was down and is up counts. Without it, a key seen up is marked up in the snapshot,
    // so that its next press counts.
    bool countReleases;
};

inline constexpr ChangeRules SingleCaptureRules = {true, true};
inline constexpr ChangeRules SequenceStepRules = {true, false};

// On layouts with AltGr, the system adds a left Ctrl to every press of the right Alt key: whether
// `code` is the left Ctrl of such a pair in the sample.
bool IsAltGrControl(const KeySample& now, int code);

// The key that changed against the snapshot (the first sample of the capture, of which only the keys
// down count), or -1: of the keys that went down, the first to go down; of any other change, the
// lowest code. AltGr's Ctrl is taken as the right Alt key. Keyboards send the Shift keys' scan codes
// with the E0 prefix around a gray navigation key, for the shift state they fake for it (Num Lock
// on, or Shift held): no key has those codes, and a capture takes no change of them.
int ChangedKey(KeySample& snapshot, const KeySample& now, ChangeRules rules);

// What a step of a sequence hands the next one: its snapshot and the sample in which it found its
// key, both with that key down (and AltGr's Ctrl with its right Alt). The next step looks at that
// sample first, so another key that went down in it is taken next.
struct StepCarry {
    KeySample snapshot;
    KeySample sample;
};
StepCarry CarryToNextStep(const KeySample& snapshot, const KeySample& sample, int takenKey);
