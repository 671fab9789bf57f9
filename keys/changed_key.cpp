#include "keys/changed_key.h"

namespace {

constexpr int VkControl = 0x11;
constexpr int VkMenu = 0x12;
constexpr int VkRightMenu = 0xA5;

bool IsDown(int16_t asyncState) {
    return (asyncState & 0x8000) != 0;
}

bool WasTapped(int16_t asyncState) {
    return (asyncState & 1) != 0;
}

bool IsMouseButton(int vk) {
    return vk == 1 || vk == 2 || (vk >= 4 && vk <= 6);
}

} // namespace

KeySnapshot SnapshotOf(const KeySample& sample) {
    KeySnapshot snapshot;
    for (int vk = 0; vk < VirtualKeyCount; ++vk)
        snapshot.state[vk] = KeyStateByte(sample.state[vk]);
    return snapshot;
}

int ChangedKey(const KeySnapshot& snapshot, const KeySample& now, ChangeRules rules) {
    for (int vk = 0; vk < VirtualKeyCount; ++vk) {
        uint8_t state = KeyStateByte(now.state[vk]);
        bool tapped = rules.countTaps && state == 0 && snapshot.state[vk] == 0 && WasTapped(now.state[vk]);
        if ((state == snapshot.state[vk] && !tapped) || (rules.skipMouseButtons && IsMouseButton(vk)))
            continue;
        if (vk == VkControl && IsDown(now.state[VkRightMenu]))
            return VkMenu;
        return vk;
    }
    return -1;
}

bool AnyKeyDown(const KeySample& now, bool skipMouseButtons) {
    for (int vk = 0; vk < VirtualKeyCount; ++vk)
        if (IsDown(now.state[vk]) && !(skipMouseButtons && IsMouseButton(vk)))
            return true;
    return false;
}
