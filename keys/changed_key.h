// Which key a capture takes: the first virtual key whose up/down state differs from the snapshot
// taken at the click, or that was tapped between two samples.
#pragma once

#include <cstdint>

inline constexpr int VirtualKeyCount = 255;

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

// The lowest-numbered virtual key that changed, or -1. With `countTaps`, a key that is up and was up
// but was pressed in between counts too. On layouts with AltGr, Windows reports the right Alt key as
// left Ctrl plus right Alt; that is taken as Alt, the same code the key stores on a US layout.
int ChangedKey(const KeySnapshot& snapshot, const KeySample& now, bool countTaps);
