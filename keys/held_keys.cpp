#include "keys/held_keys.h"

#include <algorithm>
#include <bitset>

bool IsPanelKey(int vk, const std::vector<KeyCode>& inputCodes, const LayoutKeyCodes& layoutCodes) {
    if (vk < 0 || vk >= VirtualKeyCount)
        return false;
    KeyCode code = layoutCodes.keys[vk].code;
    return code != 0 && std::find(inputCodes.begin(), inputCodes.end(), code) != inputCodes.end();
}

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
    std::vector<int> keys;
    for (int vk = 0; vk < VirtualKeyCount; ++vk)
        if (IsPanelKey(vk, inputCodes, layoutCodes) || vk == VkRightMenu)
            keys.push_back(vk);
    return keys;
}
