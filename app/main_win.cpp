// The entry point: one copy per folder, the load, the settings dialog and its message loop.
#include "dialog/settings_dialog_win.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/settings_win.h"

#include <commctrl.h>

#include <string>

namespace {

// One copy per folder, held by a named mutex: a second start brings the holder's window to the front
// and ends, before the load or the beep. The holder's dialog carries a property of the same name.
constexpr DWORD WindowWaitMs = 1500;

std::wstring gFolderName;

// The working folder's full long path in upper case, as Windows compares paths. A kernel object's
// name may hold no backslash and is limited in length, so the path is hashed (FNV-1a, 64 bits).
std::wstring FolderName() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    std::wstring longPath(GetLongPathNameW(folder.c_str(), nullptr, 0), L'\0');
    DWORD length = GetLongPathNameW(folder.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
    if (length > 0 && length < longPath.size())
        folder = longPath.substr(0, length);
    while (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    unsigned long long hash = 14695981039346656037ull;
    for (wchar_t c : folder)
        hash = (hash ^ static_cast<unsigned short>(c)) * 1099511628211ull;
    wchar_t name[64];
    wsprintfW(name, L"Local\\OrvaneConfig.Folder.%08lX%08lX", static_cast<unsigned long>(hash >> 32),
              static_cast<unsigned long>(hash));
    return name;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// The holder's first visible, enabled window in z-order: its dialog, or a warning box in front of it.
HWND HolderWindow() {
    DWORD holder = 0;
    for (HWND window = GetTopWindow(nullptr); window && !holder; window = GetWindow(window, GW_HWNDNEXT))
        if (GetPropW(window, gFolderName.c_str()) != nullptr)
            holder = ProcessOf(window);
    for (HWND window = GetTopWindow(nullptr); window && holder; window = GetWindow(window, GW_HWNDNEXT))
        if (ProcessOf(window) == holder && IsWindowVisible(window) && IsWindowEnabled(window))
            return window;
    return nullptr;
}

// An ended copy's mutex is abandoned, which gives it to this one; a copy refused it (the other runs
// as administrator) finds the folder held. The holder's dialog, or its end, is waited for. A window
// that "Show desktop" minimised is restored first, or it would only flash in the taskbar.
bool AnotherCopyRunsForThisFolder() {
    gFolderName = FolderName();
    HANDLE mutex = CreateMutexW(nullptr, FALSE, gFolderName.c_str());
    bool refused = mutex == nullptr && GetLastError() == ERROR_ACCESS_DENIED;
    for (DWORD start = GetTickCount();; Sleep(20)) {
        DWORD taken = mutex != nullptr ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
        if ((!refused && mutex == nullptr) || taken == WAIT_OBJECT_0 || taken == WAIT_ABANDONED)
            return false;
        HWND window = HolderWindow();
        if (window == nullptr && GetTickCount() - start < WindowWaitMs)
            continue;
        if (window != nullptr && IsIconic(window))
            ShowWindow(window, SW_RESTORE);
        if (window != nullptr)
            SetForegroundWindow(window);
        if (mutex != nullptr)
            CloseHandle(mutex);
        return true;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (AnotherCopyRunsForThisFolder())
        return 0;
    gShowWarning = ShowWarningBox;
    ClearLeadingBlock();
    LocateTemplates(instance);
    if (!LoadSettings())
        return 0;
    InitCommonControls();
    HWND dialog =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_SETTINGS), nullptr, SettingsDialogProc, 0);
    if (dialog == nullptr) {
        MessageBoxW(nullptr, L"No dialog created!", L"Error!", MB_ICONWARNING | MB_OK);
        return 0;
    }
    SetPropW(dialog, gFolderName.c_str(), dialog); // dropped with the window
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        HandleThreadMessage(dialog, message);
    RestoreSessionBeep();
    return 0;
}
