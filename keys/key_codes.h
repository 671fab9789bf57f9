// The one-byte key code the bindings file stores (a DirectInput key number: scan code in bits 0-6,
// bit 7 for an extended key) and its relation to virtual keys and to the platform's key names.
#pragma once

#include <cstddef>
#include <cstdint>

using KeyCode = uint8_t;

// Virtual keys 0 to 254.
inline constexpr int VirtualKeyCount = 255;

// A scan value is a scan code with 0x100 for an extended key, the form the key-name lookup takes.
struct CapturedKey {
    unsigned scanValue;
    KeyCode code;
};

// The arithmetic of KeyCodeFromVirtualKey, given the scan code the platform maps the key to.
CapturedKey CapturedKeyFromScan(unsigned virtualKey, unsigned scanCode);

// The scan value whose name the platform gives for a stored key code.
unsigned NameScanFromCode(KeyCode code);

// The key-name lookup takes the scan value in bits 16-24 of its argument.
inline long KeyNameParameter(unsigned scanValue) {
    return static_cast<long>(scanValue << 16);
}

// Platform side: virtual key to code in a keyboard layout (an HKL; null for the calling thread's),
// and code to display name (empty when the platform has none).
CapturedKey KeyCodeFromVirtualKey(unsigned virtualKey, void* keyboardLayout = nullptr);
void KeyNameFromCode(KeyCode code, wchar_t* buffer, int capacity);

// KeyCodeFromVirtualKey of every virtual key in one layout.
struct LayoutKeyCodes {
    CapturedKey keys[VirtualKeyCount];
};
LayoutKeyCodes KeyCodesOfLayout(void* keyboardLayout);
