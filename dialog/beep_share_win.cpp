// The user's setting is the profile's: the switch is for the session only, so neither a copy that
// has the beep off nor one killed while it had has written it. Every copy with the beep off holds a
// handle to one named event of the session's Local\ namespace, which lives while any copy holds it;
// the system closes a killed copy's handle. A named mutex keeps one copy's switch apart from
// another's give-back. A copy that cannot open the event (another copy runs elevated and made it,
// Vista and later) leaves the beep as it is.
#include "dialog/beep_share_win.h"

#include <windows.h>

namespace {

constexpr wchar_t CopiesName[] = L"Local\\OrvaneConfig.BeepOff";
constexpr wchar_t LockName[] = L"Local\\OrvaneConfig.Beep.Lock";
constexpr DWORD LockWaitMs = 5000;

HANDLE gBeepOff = nullptr; // held while this copy has the beep off
BOOL gLiveBeep = TRUE;     // as this copy found it: the setting of a profile that holds none

// The profile's "yes" or "no", in any case.
BOOL UserBeep() {
    wchar_t value[8] = {};
    DWORD size = sizeof value - sizeof(wchar_t), type = 0;
    HKEY sound = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Sound", 0, KEY_QUERY_VALUE, &sound) ==
        ERROR_SUCCESS) {
        if (RegQueryValueExW(sound, L"Beep", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ)
            value[0] = L'\0';
        RegCloseKey(sound);
    }
    return lstrcmpiW(value, L"yes") == 0 ? TRUE : lstrcmpiW(value, L"no") == 0 ? FALSE : gLiveBeep;
}

// A copy that died holding the lock leaves it abandoned, which still gives it to the next one.
template <typename Step> void Locked(Step step) {
    HANDLE lock = CreateMutexW(nullptr, FALSE, LockName);
    DWORD waited = lock != nullptr ? WaitForSingleObject(lock, LockWaitMs) : WAIT_FAILED;
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        step();
        ReleaseMutex(lock);
    }
    if (lock != nullptr)
        CloseHandle(lock);
}

} // namespace

void SwitchSessionBeepOff() {
    if (gBeepOff != nullptr)
        return;
    Locked([] {
        SystemParametersInfoW(SPI_GETBEEP, 0, &gLiveBeep, 0);
        gBeepOff = CreateEventW(nullptr, TRUE, FALSE, CopiesName);
        if (gBeepOff != nullptr)
            SystemParametersInfoW(SPI_SETBEEP, FALSE, nullptr, 0);
    });
}

void RestoreSessionBeep() {
    if (gBeepOff == nullptr)
        return;
    Locked([] {
        CloseHandle(gBeepOff);
        HANDLE another = OpenEventW(SYNCHRONIZE, FALSE, CopiesName); // refused too, if it is elevated
        if (another == nullptr && GetLastError() == ERROR_FILE_NOT_FOUND)
            SystemParametersInfoW(SPI_SETBEEP, UserBeep(), nullptr, 0);
        if (another != nullptr)
            CloseHandle(another);
    });
    gBeepOff = nullptr;
}
