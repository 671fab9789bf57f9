// The one-byte key code the bindings file stores: the number the loader's DirectInput reads for the
// key, which is the scan code the keyboard sends, plus 0x80 for a key it sends with the E0 prefix.
// Code 0 is no key.
#pragma once

#include <cstdint>

using KeyCode = uint8_t;

inline constexpr int KeyCodeCount = 256;
inline constexpr KeyCode NoKey = 0;

// The code of the key a key message names: its scan code stands in bits 16-23 of the message's
// lParam, and bit 24 is set for an E0 key, as the keyboard driver reports it.
KeyCode KeyCodeOfKeyMessage(uint32_t lParam);

// The scan value whose name the platform gives for a stored key code: the scan code in bits 0-7,
// 0x100 for an E0 key, as in a key message.
unsigned NameScanFromCode(KeyCode code);

// The key-name lookup takes the scan value in bits 16-24 of its argument.
inline long KeyNameParameter(unsigned scanValue) {
    return static_cast<long>(scanValue << 16);
}

// Platform side: a code's display name (empty when the platform has none), always terminated.
void KeyNameFromCode(KeyCode code, wchar_t* buffer, int capacity);
