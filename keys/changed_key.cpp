#include "keys/changed_key.h"

namespace {

constexpr int VkControl = 0x11;
constexpr int VkMenu = 0x12;
constexpr int VkLeftControl = 0xA2;
constexpr int VkRightMenu = 0xA5;
constexpr uint8_t Up = 0;

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

int ChangedKey(KeySnapshot& snapshot, const KeySample& now, ChangeRules rules) {
    int changed = -1;
    for (int vk = 0; vk < VirtualKeyCount; ++vk) {
        bool counts = HasChanged(snapshot.state[vk], now.state[vk], rules) &&
                      !(rules.skipMouseButtons && IsMouseButton(vk));
        if (!rules.countReleases && KeyStateByte(now.state[vk]) == Up)
            snapshot.state[vk] = Up;
        if (counts && changed == -1)
            changed = vk == VkControl && IsAltGrControl(now, vk) ? VkMenu : vk;
    }
    return changed;
}
