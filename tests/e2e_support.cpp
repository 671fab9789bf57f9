// Helpers of the end-to-end tests.
#include "tests/e2e_support.h"

#include <gtest/gtest.h>

std::wstring gToolPath;

namespace {
std::vector<HANDLE> gRunningTools;
}

void EndLeftoverTools() {
    for (HANDLE process : gRunningTools) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    gRunningTools.clear();
}

std::wstring ToWindowsPath(const std::string& path) {
    std::wstring wide(path.begin(), path.end());
    if (!wide.empty() && wide[0] == L'/')
        wide = L"Z:" + wide;
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    return wide;
}

// Wine hands a Linux program's process over without waiting for it, so the command leaves a
// marker file when it is done, and that is what is waited for.
void RunUnix(std::wstring commandLine) {
    static int counter = 0;
    std::wstring marker =
        L"/tmp/orvane-e2e-done-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    std::wstring markerSeen = ToWindowsPath(std::string(marker.begin(), marker.end()));
    std::wstring wrapped = L"/bin/sh -c \"" + commandLine + L"; : > " + marker + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, wrapped.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    ASSERT_TRUE(
        WaitUntil([&] { return GetFileAttributesW(markerSeen.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000))
        << "did not finish: " << std::string(commandLine.begin(), commandLine.end());
    DeleteFileW(markerSeen.c_str());
}

// The pointer leaves and comes back, so that a window that appeared under it sees it arrive.
void ClickAt(const RECT& place, int button) {
    int x = (place.left + place.right) / 2, y = (place.top + place.bottom) / 2;
    RunUnix(L"/usr/bin/xdotool mousemove " + std::to_wstring(x + 3) + L" " + std::to_wstring(y + 3) +
            L" sleep 0.05 mousemove --sync " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" click " +
            std::to_wstring(button));
}

void TypeOnDialog(const std::wstring& commands) {
    RunUnix(L"/usr/bin/xdotool search --name Orvane windowfocus --sync %1 " + commands);
}

void PressKey(const std::wstring& key, int holdMs) {
    TypeOnDialog(L"keydown " + key + L" sleep " + std::to_wstring(holdMs / 1000.0) + L" keyup " + key);
}

void SendKey(const DriverKey& key, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.virtualKey;
    input.ki.wScan = key.scanCode;
    input.ki.dwFlags = (key.e0 ? KEYEVENTF_EXTENDEDKEY : 0) | (down ? 0 : KEYEVENTF_KEYUP);
    SendInput(1, &input, sizeof input);
}

Tool Start() {
    Tool tool;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + gToolPath + L"\"";
    std::wstring folder = std::filesystem::current_path().wstring();
    EXPECT_TRUE(CreateProcessW(gToolPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &tool.process));
    HANDLE tracked = nullptr;
    DuplicateHandle(GetCurrentProcess(), tool.process.hProcess, GetCurrentProcess(), &tracked, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    gRunningTools.push_back(tracked);
    return tool;
}

HWND WaitForWindow(const Tool& tool, const wchar_t* caption, DWORD limitMs, DWORD stepMs) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < limitMs) {
        HWND found = nullptr;
        while ((found = FindWindowExW(nullptr, found, L"#32770", caption)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner == tool.process.dwProcessId && IsWindowVisible(found))
                return found;
        }
        if (WaitForSingleObject(tool.process.hProcess, 0) == WAIT_OBJECT_0)
            return nullptr;
        Sleep(stepMs);
    }
    return nullptr;
}

Tool StartWithDialog() {
    Tool tool = Start();
    tool.dialog = WaitForWindow(tool, DialogCaption);
    EXPECT_NE(tool.dialog, nullptr) << "the settings dialog did not appear";
    return tool;
}

Tool StartOn(const Bytes& file) {
    WriteBytes(BindingsFileName, file);
    return StartWithDialog();
}

long ClickAndWaitForExit(Tool& tool, int id, DWORD limitMs) {
    Click(tool.dialog, id);
    return WaitForExit(tool, limitMs);
}

long WaitForExit(Tool& tool, DWORD limitMs) {
    long code = -1;
    if (WaitForSingleObject(tool.process.hProcess, limitMs) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(tool.process.hProcess, &exitCode);
        code = static_cast<long>(exitCode);
    } else {
        TerminateProcess(tool.process.hProcess, 99);
    }
    CloseHandle(tool.process.hThread);
    CloseHandle(tool.process.hProcess);
    return code;
}

void Click(HWND dialog, int id) {
    RECT place;
    ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, id), &place)) << "control " << id;
    ClickAt(place);
}

std::wstring ControlText(HWND window) {
    wchar_t text[512] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        &ignored);
    return text;
}

std::wstring Text(HWND dialog, int id) {
    return ControlText(GetDlgItem(dialog, id));
}

void SetText(HWND dialog, int id, const std::wstring& text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 2000, &ignored);
}

bool Checked(HWND dialog, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return state == BST_CHECKED;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void DismissWarning(const Tool& tool, const char* warning) {
    HWND box = WaitForWindow(tool, L"Error!");
    ASSERT_NE(box, nullptr) << "no warning";
    EXPECT_EQ(MessageOf(box), std::wstring(warning, warning + strlen(warning)));
    Click(box, IDOK);
}

void Capture(const Tool& tool, int button, const std::wstring& key) {
    Click(tool.dialog, button);
    ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, button - 1000).size() == 2; }, ReactionLimitMs))
        << "no countdown";
    PressKey(key);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(tool.dialog, button)) != FALSE; },
                          ReactionLimitMs));
    Sleep(300); // a user's hand moving to the next control
}

bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > limitMs)
            return false;
        Sleep(20);
    }
    return true;
}

std::wstring MessageOf(HWND box) {
    std::wstring message;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (std::wstring(name) == L"Static" && !ControlText(child).empty())
            message = ControlText(child);
    }
    return message;
}

Picture Screenshot(const RECT& place) {
    int width = place.right - place.left, height = place.bottom - place.top;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    Picture pixels(static_cast<size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

Picture SettledPicture(const RECT& place, const std::function<bool(const Picture&)>& wanted, DWORD limitMs) {
    Picture last = Screenshot(place), next;
    for (DWORD start = GetTickCount(); GetTickCount() - start <= limitMs; last = next) {
        Sleep(150);
        next = Screenshot(place);
        if (next == last && wanted(next))
            return next;
    }
    size_t differing = 0;
    for (size_t i = 0; i < last.size() && i < next.size(); ++i)
        differing += last[i] != next[i];
    ADD_FAILURE() << "no settled picture in " << limitMs << " ms: the last two differed in " << differing
                  << " pixels, the last was " << (wanted(next) ? "" : "not ") << "the one waited for";
    return next;
}

bool ClickBoxAfterTyping(const Tool& tool, int box, DWORD limitMs) {
    bool before = Checked(tool.dialog, box);
    Click(tool.dialog, box);
    return WaitUntil([&] { return Checked(tool.dialog, box) != before; }, limitMs);
}

HWND TabAfterTyping(const Tool& tool, DWORD limitMs) {
    HWND before = FocusOf(tool.dialog), after = nullptr;
    PressKey(L"Tab", 80);
    if (!WaitUntil([&] { return (after = FocusOf(tool.dialog)) != before; }, limitMs))
        return nullptr;
    return after;
}
