// The shared record is a named mapping of the session's Local\ namespace, guarded by a named mutex.
// It lives while any copy has it open, so after a crash of every copy the next one starts afresh.
// A copy that cannot open it (another copy runs elevated and made it, Vista and later) leaves the
// beep as it is: it would read the beep that copy switched off as the user's setting.
#include "dialog/beep_share_win.h"

#include "dialog/beep_share.h"

#include <windows.h>

namespace {

constexpr wchar_t ShareName[] = L"Local\\OrvaneConfig.BeepCopies";
constexpr wchar_t LockName[] = L"Local\\OrvaneConfig.Beep.Lock";
constexpr DWORD LockWaitMs = 5000;

HANDLE gMapping = nullptr;
HANDLE gLock = nullptr;
BeepShare* gShare = nullptr; // set while this copy is listed in the record, with the beep off

bool ReadLiveBeep() {
    BOOL on = TRUE;
    if (!SystemParametersInfoW(SPI_GETBEEP, 0, &on, 0))
        on = TRUE;
    return on != FALSE;
}

// The live setting is what a copy that was killed left; the profile is what the user chose.
bool ReadUserBeep() {
    wchar_t value[8] = {};
    DWORD size = sizeof value - sizeof(wchar_t), type = 0;
    HKEY sound = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Sound", 0, KEY_QUERY_VALUE, &sound) !=
        ERROR_SUCCESS)
        return ReadLiveBeep();
    LONG read = RegQueryValueExW(sound, L"Beep", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(sound);
    if (read != ERROR_SUCCESS || type != REG_SZ)
        return ReadLiveBeep();
    return UserBeepSetting(value, ReadLiveBeep());
}

bool IsProcessRunning(uint32_t processId) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (process == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED; // there, but another user's or elevated
    bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

void CloseSessionShare() {
    if (gShare != nullptr)
        UnmapViewOfFile(gShare);
    if (gMapping != nullptr)
        CloseHandle(gMapping);
    if (gLock != nullptr)
        CloseHandle(gLock);
    gShare = nullptr;
    gMapping = gLock = nullptr;
}

bool OpenSessionShare() {
    gLock = CreateMutexW(nullptr, FALSE, LockName);
    gMapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(BeepShare), ShareName);
    if (gLock != nullptr && gMapping != nullptr)
        gShare = static_cast<BeepShare*>(MapViewOfFile(gMapping, FILE_MAP_WRITE, 0, 0, sizeof(BeepShare)));
    if (gShare != nullptr)
        return true;
    CloseSessionShare();
    return false;
}

// A copy that died holding the lock leaves it abandoned, which still gives it to the next one.
template <typename Use> bool UseShareLocked(Use use) {
    if (WaitForSingleObject(gLock, LockWaitMs) == WAIT_TIMEOUT)
        return false;
    use(*gShare);
    ReleaseMutex(gLock);
    return true;
}

} // namespace

void SwitchSessionBeepOff() {
    if (gShare != nullptr || !OpenSessionShare())
        return;
    bool joined = false;
    UseShareLocked([&](BeepShare& share) {
        joined = JoinBeepShare(share, GetCurrentProcessId(), IsProcessRunning, ReadUserBeep);
    });
    if (!joined) {
        CloseSessionShare();
        return;
    }
    SystemParametersInfoW(SPI_SETBEEP, FALSE, nullptr, 0);
}

void RestoreSessionBeep() {
    if (gShare == nullptr)
        return;
    UseShareLocked([](BeepShare& share) {
        bool userBeepOn = true;
        if (LeaveBeepShare(share, GetCurrentProcessId(), IsProcessRunning, userBeepOn))
            SystemParametersInfoW(SPI_SETBEEP, userBeepOn ? TRUE : FALSE, nullptr, 0);
    });
    CloseSessionShare();
}
