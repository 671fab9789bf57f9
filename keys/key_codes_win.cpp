// The platform's names of key codes.
#include "keys/key_codes.h"

#include <windows.h>

void KeyNameFromCode(KeyCode code, wchar_t* buffer, int capacity) {
    if (capacity <= 0)
        return;
    buffer[0] = L'\0';
    GetKeyNameTextW(KeyNameParameter(NameScanFromCode(code)), buffer, capacity);
}
