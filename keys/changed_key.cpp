#include "keys/changed_key.h"

namespace {

bool HasChanged(uint8_t atSnapshot, uint8_t now, ChangeRules rules) {
    if (!IsKeyDown(now) && !IsKeyDown(atSnapshot))
        return rules.countTaps && (now & KeyWentDown) != 0;
    if (!IsKeyDown(now))
        return rules.countReleases;
    return !IsKeyDown(atSnapshot);
}

bool Counts(const KeySample& snapshot, const KeySample& now, int code, ChangeRules rules) {
    return HasChanged(snapshot.state[code], now.state[code], rules) &&
           !(rules.skipMouseButtons && code == NoKey) && !IsFakeShift(code);
}

int TakenAs(const KeySample& now, int code) {
    return IsAltGrControl(now, code) ? RightAltCode : code;
}

int FirstToGoDown(const KeySample& snapshot, const KeySample& now, ChangeRules rules) {
    for (int i = 0; i < now.wentDownCount; ++i)
        if (Counts(snapshot, now, now.wentDownInOrder[i], rules))
            return TakenAs(now, now.wentDownInOrder[i]);
    return -1;
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

int ChangedKey(KeySample& snapshot, const KeySample& now, ChangeRules rules) {
    int changed = FirstToGoDown(snapshot, now, rules);
    for (int code = 0; code < KeyCodeCount; ++code) {
        if (changed == -1 && Counts(snapshot, now, code, rules))
            changed = TakenAs(now, code);
        if (!rules.countReleases && !IsKeyDown(now.state[code]))
            snapshot.state[code] = 0;
    }
    return changed;
}

StepCarry CarryToNextStep(const KeySample& snapshot, const KeySample& sample, int takenKey) {
    StepCarry carry = {snapshot, sample};
    MarkDown(carry, takenKey);
    if (takenKey == RightAltCode && IsKeyDown(sample.state[LeftControlCode]))
        MarkDown(carry, LeftControlCode);
    return carry;
}
