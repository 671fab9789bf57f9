// The folder is held by a named mutex of the session's Local\ namespace, named after the folder's
// full path, case-insensitively as Windows compares paths. The holder's dialog carries a window
// property of the same name, by which a later copy finds it.
#include "app/running_copy_win.h"

#include <string>

namespace {

constexpr DWORD WindowWaitMs = 1500;

std::wstring gFolderName;
// The working folder's full long path in upper case, without a trailing backslash.
std::wstring FolderKey() {
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    std::wstring longPath(GetLongPathNameW(folder.c_str(), nullptr, 0), L'\0');
    DWORD length = GetLongPathNameW(folder.c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
    if (length > 0 && length < longPath.size())
        folder = longPath.substr(0, length);
    while (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    CharUpperBuffW(folder.data(), static_cast<DWORD>(folder.size()));
    return folder;
}

// A kernel object name may hold no backslash and is limited in length, so the path is hashed
// (FNV-1a, 64 bits).
std::wstring FolderName(const std::wstring& folder) {
    unsigned long long hash = 14695981039346656037ull;
    for (wchar_t c : folder) {
        hash ^= static_cast<unsigned short>(c);
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    wsprintfW(name, L"Local\\OrvaneConfig.Folder.%08lX%08lX", static_cast<unsigned long>(hash >> 32),
              static_cast<unsigned long>(hash));
    return name;
}

struct WindowSearch {
    DWORD process;
    HWND found;
};

// Top-level windows come in z-order, so the first visible, enabled one of the process is what its
// user last saw: the dialog, or a warning box in front of it.
BOOL CALLBACK FindProcessWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || !IsWindowEnabled(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK FindFolderDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    if (GetPropW(window, gFolderName.c_str()) == nullptr)
        return TRUE;
    GetWindowThreadProcessId(window, &search->process);
    return FALSE;
}

// The first visible, enabled window of the holder's process once its dialog is up, or null.
HWND HolderWindow() {
    WindowSearch search = {0, nullptr};
    EnumWindows(FindFolderDialog, reinterpret_cast<LPARAM>(&search));
    if (search.process != 0)
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A window minimised by "Show desktop" is restored first, or it would only flash in the taskbar.
void BringForward(HWND window) {
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

// This copy holds the folder once it owns the mutex. A copy that is just ending, or another copy's
// brief look at it, keeps the name alive without holding it; the mutex of a copy that has ended is
// abandoned, which gives it to this one.
bool TakeFolder(HANDLE mutex) {
    if (mutex == nullptr)
        return false;
    DWORD waited = WaitForSingleObject(mutex, 0);
    return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

} // namespace

// The mutex stays owned, and its handle open, until the process ends. A copy started as
// administrator beside one that is not (Vista and later) is refused the other's mutex: that too
// means another copy holds the folder. Any other failure to make the mutex lets this copy run.
// The holder may still be loading the file, or be ending: its dialog, or its end, is waited for.
bool AnotherCopyRunsForThisFolder() {
    gFolderName = FolderName(FolderKey());
    HANDLE mutex = CreateMutexW(nullptr, FALSE, gFolderName.c_str());
    bool refused = mutex == nullptr && GetLastError() == ERROR_ACCESS_DENIED;
    for (DWORD start = GetTickCount();; Sleep(20)) {
        if ((!refused && mutex == nullptr) || TakeFolder(mutex))
            return false;
        HWND window = HolderWindow();
        if (window != nullptr || GetTickCount() - start >= WindowWaitMs) {
            if (window != nullptr)
                BringForward(window);
            if (mutex != nullptr)
                CloseHandle(mutex);
            return true;
        }
    }
}

// The system drops the property with the window.
void MarkFolderWindow(HWND dialog) {
    SetPropW(dialog, gFolderName.c_str(), dialog);
}
