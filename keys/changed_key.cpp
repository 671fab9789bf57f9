#include "keys/changed_key.h"

namespace {

constexpr KeyCode LeftControlCode = 0x1D;
constexpr KeyCode RightAltCode = 0xB8;

bool IsFakeShift(int code) {
    return code == 0xAA || code == 0xB6;
}

// A key that went down since the reading before is a new press, whatever its state before and
// after: a key held at the snapshot that went down again was let go and pressed in between.
bool HasChanged(uint8_t atSnapshot, uint8_t now, ChangeRules rules) {
    if (rules.countTaps && (now & KeyWentDown) != 0)
        return true;
    if (!IsKeyDown(now))
        return IsKeyDown(atSnapshot) && rules.countReleases;
    return !IsKeyDown(atSnapshot);
}

bool Counts(const KeySample& snapshot, const KeySample& now, int code, ChangeRules rules) {
    return HasChanged(snapshot.state[code], now.state[code], rules) && code != NoKey && !IsFakeShift(code);
}

void MarkDown(StepCarry& carry, int code) {
    carry.snapshot.state[code] = KeyIsDown;
    carry.sample.state[code] = KeyIsDown;
}

} // namespace

void MarkWentDown(KeySample& sample, KeyCode code) {
    if ((sample.state[code] & KeyWentDown) == 0)
        sample.wentDownInOrder[sample.wentDownCount++] = code;
    sample.state[code] |= KeyWentDown;
}

bool IsAltGrControl(const KeySample& now, int code) {
    return code == LeftControlCode && IsKeyDown(now.state[RightAltCode]);
}

// The keys that went down are looked at first, in the order they went down; then every key by code.
int ChangedKey(KeySample& snapshot, const KeySample& now, ChangeRules rules) {
    int changed = -1;
    for (int i = 0; changed == -1 && i < now.wentDownCount + KeyCodeCount; ++i) {
        int code = i < now.wentDownCount ? now.wentDownInOrder[i] : i - now.wentDownCount;
        if (Counts(snapshot, now, code, rules))
            changed = IsAltGrControl(now, code) ? RightAltCode : code;
    }
    for (int code = 0; code < KeyCodeCount; ++code)
        if (!rules.countReleases && !IsKeyDown(now.state[code]))
            snapshot.state[code] = 0;
    return changed;
}

StepCarry CarryToNextStep(const KeySample& snapshot, const KeySample& sample, int takenKey) {
    StepCarry carry = {snapshot, sample};
    MarkDown(carry, takenKey);
    if (takenKey == RightAltCode && IsKeyDown(sample.state[LeftControlCode]))
        MarkDown(carry, LeftControlCode);
    return carry;
}
