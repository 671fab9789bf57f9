// Which key a capture takes. A single capture takes the first virtual key whose up/down state
// differs from the snapshot taken at the click, or that was tapped between two samples. A step of a
// sequence takes only a key that goes down: its release is no change, so a key still held from the
// input before (or held all along) is passed over until it is pressed again. Keys that go down in
// the same sample of a sequence each take an input of their own, one step after the other.
#pragma once

#include "keys/key_codes.h"

#include <cstdint>

inline constexpr int VkShift = 0x10;
inline constexpr int VkControl = 0x11;
inline constexpr int VkMenu = 0x12;
inline constexpr int VkLeftShift = 0xA0;
inline constexpr int VkLeftControl = 0xA2;
inline constexpr int VkLeftMenu = 0xA4;
inline constexpr int VkRightMenu = 0xA5;

// The asynchronous state of every virtual key at one moment: bit 15 while the key is down, bit 0
// when it was pressed since the previous query.
struct KeySample {
    int16_t state[VirtualKeyCount];
};

// The state byte of the snapshot: 0xFE while the key is down, 0 while it is up.
inline uint8_t KeyStateByte(int16_t asyncState) {
    return static_cast<uint8_t>(asyncState >> 14);
}

struct KeySnapshot {
    uint8_t state[VirtualKeyCount];
};

KeySnapshot SnapshotOf(const KeySample& sample);

struct ChangeRules {
    // A key that is up and was up but was pressed in between counts too.
    bool countTaps;
    // A key that was down and is up counts. Without it, a key seen up is marked up in the snapshot,
    // so that its next press counts.
    bool countReleases;
    // The mouse buttons (virtual keys 1, 2, 4, 5, 6) are not keys: a click is no change.
    bool skipMouseButtons;
    // Of several keys that changed, the one with the lowest key code is taken, rather than the
    // lowest virtual key, so that keys going down together land in the order of their codes.
    bool lowestCodeFirst;
};

inline bool IsKeyDown(int16_t asyncState) {
    return (asyncState & 0x8000) != 0;
}

// On layouts with AltGr, Windows reports the right Alt key as left Ctrl plus right Alt: whether `vk`
// (the generic or the left Ctrl) is the Ctrl of such a pair in the sample.
bool IsAltGrControl(const KeySample& now, int vk);

inline constexpr ChangeRules SingleCaptureRules = {true, true, false, false};
inline constexpr ChangeRules SequenceStepRules = {true, false, true, true};

// The virtual key that changed, or -1. AltGr's Ctrl is taken as Alt, the same code the key stores
// on a US layout. `codes` are the key codes of the capture's keyboard layout.
int ChangedKey(KeySnapshot& snapshot, const KeySample& now, ChangeRules rules, const LayoutKeyCodes& codes);

// What a step of a sequence hands the next one: its snapshot and the sample in which it found its
// key, both with that key down in all its forms (generic and sided Shift, Ctrl or Alt; AltGr's Ctrl
// with its Alt). The next step looks at that sample first, so another key that went down in it is
// taken next, and a form of the taken key read later in the sample is not taken again.
struct StepCarry {
    KeySnapshot snapshot;
    KeySample sample;
};
StepCarry CarryToNextStep(const KeySnapshot& snapshot, const KeySample& sample, int takenKey);
