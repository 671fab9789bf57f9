// The two keyboard services behind key codes and key names.
#include "keys/key_codes.h"

#include <windows.h>

CapturedKey KeyCodeFromVirtualKey(unsigned virtualKey) {
    return CapturedKeyFromScan(virtualKey, MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
}

void KeyNameFromCode(KeyCode code, wchar_t* buffer, int capacity) {
    if (capacity <= 0)
        return;
    buffer[0] = L'\0';
    GetKeyNameTextW(KeyNameParameter(NameScanFromCode(code)), buffer, capacity);
}
