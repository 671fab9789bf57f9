#include "keys/changed_key.h"

namespace {

bool HasChanged(uint8_t atSnapshot, uint8_t now, ChangeRules rules) {
    if (!IsKeyDown(now) && !IsKeyDown(atSnapshot))
        return rules.countTaps && (now & KeyWentDown) != 0;
    if (!IsKeyDown(now))
        return rules.countReleases;
    return !IsKeyDown(atSnapshot);
}

void MarkDown(StepCarry& carry, int code) {
    carry.snapshot.state[code] = KeyIsDown;
    carry.sample.state[code] = KeyIsDown;
}

} // namespace

bool IsAltGrControl(const KeySample& now, int code) {
    return code == LeftControlCode && IsKeyDown(now.state[RightAltCode]);
}

int ChangedKey(KeySample& snapshot, const KeySample& now, ChangeRules rules) {
    int changed = -1;
    for (int code = 0; code < KeyCodeCount; ++code) {
        bool counts = HasChanged(snapshot.state[code], now.state[code], rules) &&
                      !(rules.skipMouseButtons && code == NoKey) && !IsFakeShift(code);
        if (!rules.countReleases && !IsKeyDown(now.state[code]))
            snapshot.state[code] = 0;
        if (counts && changed == -1)
            changed = IsAltGrControl(now, code) ? RightAltCode : code;
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
