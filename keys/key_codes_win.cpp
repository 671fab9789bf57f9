// The two keyboard services behind key codes and key names.
#include "keys/key_codes.h"

#include <windows.h>

CapturedKey KeyCodeFromVirtualKey(unsigned virtualKey, void* keyboardLayout) {
    HKL layout = keyboardLayout != nullptr ? static_cast<HKL>(keyboardLayout) : GetKeyboardLayout(0);
    return CapturedKeyFromScan(virtualKey, MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC, layout));
}

LayoutKeyCodes KeyCodesOfLayout(void* keyboardLayout) {
    LayoutKeyCodes table;
    for (int vk = 0; vk < VirtualKeyCount; ++vk)
        table.keys[vk] = KeyCodeFromVirtualKey(static_cast<unsigned>(vk), keyboardLayout);
    return table;
}

void KeyNameFromCode(KeyCode code, wchar_t* buffer, int capacity) {
    if (capacity <= 0)
        return;
    buffer[0] = L'\0';
    GetKeyNameTextW(KeyNameParameter(NameScanFromCode(code)), buffer, capacity);
}
