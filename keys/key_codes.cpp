// Key-code arithmetic, free of any platform call.
#include "keys/key_codes.h"

namespace {

constexpr unsigned ExtendedFlag = 0x100;
constexpr unsigned ExtendedCode = 0x80;

// Num Lock and Pause share scan code 0x45: the driver sends Num Lock as the E0 key, but DirectInput
// numbers Num Lock 0x45 and Pause 0xC5.
constexpr unsigned NumLockScanValue = 0x145;
constexpr unsigned PauseScanValue = 0x045;

unsigned SwapNumLockAndPause(unsigned scanValue) {
    return scanValue == NumLockScanValue ? PauseScanValue
           : scanValue == PauseScanValue ? NumLockScanValue
                                         : scanValue;
}

} // namespace

KeyCode KeyCodeOfKeyMessage(uint32_t lParam) {
    unsigned scanValue = SwapNumLockAndPause((lParam >> 16) & 0x1FF);
    unsigned code = (scanValue & 0x7F) | ((scanValue & ExtendedFlag) != 0 ? ExtendedCode : 0);
    return (scanValue & 0x7F) == 0 ? NoKey : static_cast<KeyCode>(code);
}

unsigned NameScanFromCode(KeyCode code) {
    return SwapNumLockAndPause((code & 0x7Fu) | ((code & ExtendedCode) != 0 ? ExtendedFlag : 0));
}
