// The shared record is a named mapping of the session's Local\ namespace, guarded by a named mutex.
// It lives while any copy has it open, so after a crash of every copy the next one starts afresh.
#include "dialog/session_beep.h"

#include "dialog/beep_share.h"

#include <windows.h>

namespace {

constexpr wchar_t ShareName[] = L"Local\\OrvaneConfig.Beep";
constexpr wchar_t LockName[] = L"Local\\OrvaneConfig.Beep.Lock";

HANDLE gMapping = nullptr;
HANDLE gLock = nullptr;
BeepShare* gShare = nullptr; // set while this copy has the beep switched off
// Used alone when the session's record cannot be had: the copy then keeps the setting it found.
BeepShare gOwnShare = {};

bool ReadUserBeep() {
    BOOL on = TRUE;
    if (!SystemParametersInfoW(SPI_GETBEEP, 0, &on, 0))
        on = TRUE;
    return on != FALSE;
}

void OpenSessionShare() {
    gLock = CreateMutexW(nullptr, FALSE, LockName);
    gMapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(BeepShare), ShareName);
    if (gMapping != nullptr)
        gShare = static_cast<BeepShare*>(MapViewOfFile(gMapping, FILE_MAP_WRITE, 0, 0, sizeof(BeepShare)));
    if (gLock == nullptr || gShare == nullptr)
        gShare = &gOwnShare;
}

void CloseSessionShare() {
    if (gShare != &gOwnShare && gShare != nullptr)
        UnmapViewOfFile(gShare);
    if (gMapping != nullptr)
        CloseHandle(gMapping);
    if (gLock != nullptr)
        CloseHandle(gLock);
    gShare = nullptr;
    gMapping = gLock = nullptr;
}

// A copy that died holding the lock leaves it abandoned, which still gives it to the next one.
template <typename Use> void UseShareLocked(Use use) {
    bool locked = gShare != &gOwnShare && WaitForSingleObject(gLock, 5000) != WAIT_TIMEOUT;
    use(*gShare);
    if (locked)
        ReleaseMutex(gLock);
}

} // namespace

void SwitchSessionBeepOff() {
    if (gShare == nullptr) {
        OpenSessionShare();
        UseShareLocked([](BeepShare& share) { JoinBeepShare(share, ReadUserBeep); });
    }
    SystemParametersInfoW(SPI_SETBEEP, FALSE, nullptr, 0);
}

void RestoreSessionBeep() {
    if (gShare == nullptr)
        return;
    UseShareLocked([](BeepShare& share) {
        bool userBeepOn = true;
        if (LeaveBeepShare(share, userBeepOn))
            SystemParametersInfoW(SPI_SETBEEP, userBeepOn ? TRUE : FALSE, nullptr, 0);
    });
    CloseSessionShare();
}
