#include "keys/changed_key.h"

namespace {

constexpr uint8_t Up = 0;
constexpr int16_t DownState = static_cast<int16_t>(0x8000);

// Shift, Ctrl and Alt, each as its generic, left and right virtual key.
constexpr int ModifierForms[3][3] = {
    {VkShift, VkLeftShift, VkLeftShift + 1},
    {VkControl, VkLeftControl, VkLeftControl + 1},
    {VkMenu, VkLeftMenu, VkRightMenu},
};
constexpr int AltForms = 2;

bool WasTapped(int16_t asyncState) {
    return (asyncState & 1) != 0;
}

bool IsMouseButton(int vk) {
    return vk == 1 || vk == 2 || (vk >= 4 && vk <= 6);
}

bool HasChanged(uint8_t atSnapshot, int16_t now, ChangeRules rules) {
    uint8_t state = KeyStateByte(now);
    if (state == Up && atSnapshot == Up)
        return rules.countTaps && WasTapped(now);
    if (state == Up)
        return rules.countReleases;
    return atSnapshot == Up;
}

int ModifierOf(int vk) {
    for (int modifier = 0; modifier < 3; ++modifier)
        for (int form : ModifierForms[modifier])
            if (form == vk)
                return modifier;
    return -1;
}

void MarkDown(StepCarry& carry, int vk) {
    carry.snapshot.state[vk] = KeyStateByte(DownState);
    carry.sample.state[vk] = DownState;
}

} // namespace

bool IsAltGrControl(const KeySample& now, int vk) {
    return (vk == VkControl || vk == VkLeftControl) && IsKeyDown(now.state[VkRightMenu]);
}

KeySnapshot SnapshotOf(const KeySample& sample) {
    KeySnapshot snapshot;
    for (int vk = 0; vk < VirtualKeyCount; ++vk)
        snapshot.state[vk] = KeyStateByte(sample.state[vk]);
    return snapshot;
}

int ChangedKey(KeySnapshot& snapshot, const KeySample& now, ChangeRules rules, const LayoutKeyCodes& codes) {
    int changed = -1;
    for (int vk = 0; vk < VirtualKeyCount; ++vk) {
        bool counts = HasChanged(snapshot.state[vk], now.state[vk], rules) &&
                      !(rules.skipMouseButtons && IsMouseButton(vk));
        if (!rules.countReleases && KeyStateByte(now.state[vk]) == Up)
            snapshot.state[vk] = Up;
        if (!counts)
            continue;
        int key = IsAltGrControl(now, vk) ? VkMenu : vk;
        if (changed == -1 || (rules.lowestCodeFirst && codes.keys[key].code < codes.keys[changed].code))
            changed = key;
    }
    return changed;
}

StepCarry CarryToNextStep(const KeySnapshot& snapshot, const KeySample& sample, int takenKey) {
    StepCarry carry = {snapshot, sample};
    MarkDown(carry, takenKey);
    int modifier = ModifierOf(takenKey);
    if (modifier < 0)
        return carry;
    for (int form : ModifierForms[modifier])
        MarkDown(carry, form);
    if (modifier == AltForms && IsKeyDown(sample.state[VkRightMenu])) {
        MarkDown(carry, VkControl);
        MarkDown(carry, VkLeftControl);
    }
    return carry;
}
