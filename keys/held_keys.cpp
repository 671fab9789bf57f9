#include "keys/held_keys.h"

#include <bitset>

namespace {

constexpr int VkRightMenu = 0xA5;

} // namespace

std::vector<bool> HeldInputs(const std::vector<KeyCode>& inputCodes, const KeySample& now,
                             const LayoutKeyCodes& layoutCodes) {
    std::bitset<256> held;
    for (int vk = 0; vk < VirtualKeyCount; ++vk)
        if (IsKeyDown(now.state[vk]) && !IsAltGrControl(now, vk))
            held.set(layoutCodes.keys[vk].code);
    held.reset(0);
    std::vector<bool> lit;
    for (KeyCode code : inputCodes)
        lit.push_back(held.test(code));
    return lit;
}

std::vector<int> KeysToRead(const std::vector<KeyCode>& inputCodes, const LayoutKeyCodes& layoutCodes) {
    std::bitset<256> wanted;
    for (KeyCode code : inputCodes)
        wanted.set(code);
    wanted.reset(0);
    std::vector<int> keys;
    for (int vk = 0; vk < VirtualKeyCount; ++vk)
        if (wanted.test(layoutCodes.keys[vk].code) || vk == VkRightMenu)
            keys.push_back(vk);
    return keys;
}
