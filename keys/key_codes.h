// The key code the bindings file stores, as the loader's DirectInput reads it: the key's scan code,
// plus 0x80 for a key sent with the E0 prefix. Code 0 is no key.
#pragma once

#include <cstdint>

using KeyCode = uint8_t;

inline constexpr int KeyCodeCount = 256;
inline constexpr KeyCode NoKey = 0;

// From the scan code in bits 16-23 of a key message's lParam, and bit 24 for an E0 key.
KeyCode KeyCodeOfKeyMessage(uint32_t lParam);

// The scan value whose name the platform gives: the scan code, plus 0x100 for an E0 key.
unsigned NameScanFromCode(KeyCode code);

// The key-name lookup takes the scan value in bits 16-24 of its argument.
inline long KeyNameParameter(unsigned scanValue) {
    return static_cast<long>(scanValue << 16);
}

// The platform's name of a code, empty when it has none.
void KeyNameFromCode(KeyCode code, wchar_t* buffer, int capacity);
