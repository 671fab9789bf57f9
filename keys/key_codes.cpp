// Key-code arithmetic, free of any platform call.
#include "keys/key_codes.h"

namespace {

constexpr unsigned ExtendedFlag = 0x100;

// Page Up, Page Down, End, Home, the four arrows, Insert, Delete, numeric-pad divide, Num Lock.
constexpr unsigned ExtendedVirtualKeys[] = {33, 34, 35, 36, 37, 38, 39, 40, 45, 46, 111, 144};

// Num Lock and Pause share scan code 0x45 and the platform tells them apart by the extended flag,
// but the loader's key numbers have them the other way round: Num Lock is 0x45, Pause 0xC5.
constexpr unsigned NumLockScanValue = 0x145;
constexpr unsigned PauseScanValue = 0x045;

bool IsExtendedVirtualKey(unsigned virtualKey) {
    for (unsigned extended : ExtendedVirtualKeys) {
        if (virtualKey == extended)
            return true;
    }
    return false;
}

unsigned SwapNumLockAndPause(unsigned scanValue) {
    if (scanValue == NumLockScanValue)
        return PauseScanValue;
    if (scanValue == PauseScanValue)
        return NumLockScanValue;
    return scanValue;
}

} // namespace

CapturedKey CapturedKeyFromScan(unsigned virtualKey, unsigned scanCode) {
    unsigned scanValue = scanCode;
    if (IsExtendedVirtualKey(virtualKey))
        scanValue |= ExtendedFlag;
    unsigned stored = SwapNumLockAndPause(scanValue);
    KeyCode code = static_cast<KeyCode>((stored & ExtendedFlag) ? ((stored | 0x80) & 0xFF) : (stored & 0xFF));
    return {scanValue, code};
}

unsigned NameScanFromCode(KeyCode code) {
    unsigned scanValue = code >= 0x80 ? ((code - 0x80u) | ExtendedFlag) : code;
    return SwapNumLockAndPause(scanValue);
}
