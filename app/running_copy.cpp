// The folder is held by a named mutex of the session's Local\ namespace, named after the folder's
// full path, case-insensitively as Windows compares paths. Beside it, a named mapping tells a later
// copy which process holds the folder.
#include "app/running_copy.h"

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

// The first copy may still be loading the file: its window is waited for, briefly.
void BringForward(DWORD process, DWORD start) {
    WindowSearch search = {process, nullptr};
    while (EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search)), search.found == nullptr) {
        if (!BeforeDeadline(start))
            return;
        Sleep(20);
    }
    SetForegroundWindow(search.found);
}

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

} // namespace

// The mutex handle of the copy that holds the folder stays open until the process ends.
bool AnotherCopyRunsForThisFolder() {
    std::wstring folder = FolderKey(), holderName = ObjectName(L"Holder", folder);
    HANDLE held = CreateMutexW(nullptr, FALSE, ObjectName(L"Folder", folder).c_str());
    if (held == nullptr || GetLastError() != ERROR_ALREADY_EXISTS) {
        PublishHolder(holderName);
        return false;
    }
    CloseHandle(held);
    DWORD start = GetTickCount(), holder = 0;
    while ((holder = ReadHolder(holderName)) == 0 && BeforeDeadline(start))
        Sleep(20);
    if (holder != 0)
        BringForward(holder, start);
    return true;
}
