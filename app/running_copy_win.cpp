// The folder is held by a named mutex of the session's Local\ namespace, named after the folder's
// full path, case-insensitively as Windows compares paths. Beside it, a named mapping tells a later
// copy which process holds the folder.
#include "app/running_copy_win.h"

#include <windows.h>

#include <string>

namespace {

constexpr DWORD WindowWaitMs = 1500;

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
std::wstring ObjectName(const wchar_t* kind, const std::wstring& folder) {
    unsigned long long hash = 14695981039346656037ull;
    for (wchar_t c : folder) {
        hash ^= static_cast<unsigned short>(c);
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    wsprintfW(name, L"Local\\OrvaneConfig.%s.%08lX%08lX", kind, static_cast<unsigned long>(hash >> 32),
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

bool BeforeDeadline(DWORD start) {
    return GetTickCount() - start < WindowWaitMs;
}

// The first visible, enabled window of the holder's process, or null while there is none yet.
HWND HolderWindow(DWORD process) {
    WindowSearch search = {process, nullptr};
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A window minimised by "Show desktop" is restored first, or it would only flash in the taskbar.
void BringForward(HWND window) {
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

// The holder's process, 0 while it is not yet published, or when its record is closed to this copy
// (an elevated holder, and this copy is not).
DWORD ReadHolder(const std::wstring& name) {
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str());
    if (mapping == nullptr)
        return 0;
    DWORD process = 0;
    if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof process)) {
        process = *static_cast<const volatile DWORD*>(view);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return process;
}

// Kept open until the process ends, which releases them.
void PublishHolder(const std::wstring& name) {
    HANDLE mapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD), name.c_str());
    if (mapping == nullptr)
        return;
    if (void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)))
        *static_cast<volatile DWORD*>(view) = GetCurrentProcessId();
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
// The holder may still be loading the file, or be ending: its window, or its end, is waited for.
bool AnotherCopyRunsForThisFolder() {
    std::wstring folder = FolderKey(), holderName = ObjectName(L"Holder", folder);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, ObjectName(L"Folder", folder).c_str());
    bool refused = mutex == nullptr && GetLastError() == ERROR_ACCESS_DENIED;
    for (DWORD start = GetTickCount();; Sleep(20)) {
        if ((!refused && mutex == nullptr) || TakeFolder(mutex)) {
            PublishHolder(holderName);
            return false;
        }
        DWORD holder = ReadHolder(holderName);
        HWND window = holder != 0 ? HolderWindow(holder) : nullptr;
        if (window != nullptr || !BeforeDeadline(start)) {
            if (window != nullptr)
                BringForward(window);
            if (mutex != nullptr)
                CloseHandle(mutex);
            return true;
        }
    }
}
