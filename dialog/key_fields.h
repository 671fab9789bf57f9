// The key fields: each shows the name of its input's key, or nothing for an input with no key.
#pragma once

#include <windows.h>

#include <cstdint>

// Shows the name of a key code in a key field; nothing for 0, the code of no key.
void ShowKeyName(HWND dialog, int field, uint8_t code);

// Leaves the input of a capture button with no key: code 0, an empty field, the clash marks again.
void ClearInputKey(HWND dialog, int button);
