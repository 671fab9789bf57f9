// End-to-end tests of the real program: each starts orvane_config.exe in a fresh folder, works it
// with the mouse and the keyboard of the X display (xdotool), and reads only what a user would:
// windows and their texts, the bindings file on disk and the exit code.
#include "resources/resource.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::wstring gToolPath;

constexpr wchar_t DialogCaption[] = L"Orvane 設定";

std::wstring ToWindowsPath(const std::string& path) {
    std::wstring wide(path.begin(), path.end());
    if (!wide.empty() && wide[0] == L'/')
        wide = L"Z:" + wide;
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';
    return wide;
}

// Runs a program of the X side (xdotool) and waits for it.
void RunUnix(std::wstring commandLine) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process));
    WaitForSingleObject(process.hProcess, 15000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// The pointer leaves and comes back, so that a window that appeared under it sees it arrive.
void ClickAt(const RECT& place) {
    int x = (place.left + place.right) / 2, y = (place.top + place.bottom) / 2;
    RunUnix(L"/usr/bin/xdotool mousemove " + std::to_wstring(x + 3) + L" " + std::to_wstring(y + 3) +
            L" sleep 0.05 mousemove --sync " + std::to_wstring(x) + L" " + std::to_wstring(y) + L" click 1");
}

// Focuses the settings dialog's X window, then holds the key for the given time.
void PressKey(const std::wstring& key, int holdMs = 100) {
    RunUnix(L"/usr/bin/xdotool search --name Orvane windowfocus --sync %1 keydown " + key + L" sleep " +
            std::to_wstring(holdMs / 1000.0) + L" keyup " + key);
}

struct Tool {
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr;
};

Tool Start() {
    Tool tool;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + gToolPath + L"\"";
    std::wstring folder = std::filesystem::current_path().wstring();
    EXPECT_TRUE(CreateProcessW(gToolPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &tool.process));
    return tool;
}

// A top-level dialog of the tool's process with the given caption, once visible.
HWND WaitForWindow(const Tool& tool, const wchar_t* caption, DWORD limitMs = 15000) {
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
        Sleep(20);
    }
    return nullptr;
}

Tool StartWithDialog() {
    Tool tool = Start();
    tool.dialog = WaitForWindow(tool, DialogCaption);
    EXPECT_NE(tool.dialog, nullptr) << "the settings dialog did not appear";
    return tool;
}

// Exit code, or -1 if the process did not end in time.
long WaitForExit(Tool& tool, DWORD limitMs = 10000) {
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
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &ignored);
    return text;
}

std::wstring Text(HWND dialog, int id) { return ControlText(GetDlgItem(dialog, id)); }

bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > limitMs)
            return false;
        Sleep(20);
    }
    return true;
}

std::wstring PlatformKeyName(LONG lParam) {
    wchar_t name[512] = {};
    GetKeyNameTextW(lParam, name, 512);
    return name;
}

// The texts of a message box: caption and message.
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

class EndToEnd : public ::testing::Test {
  protected:
    void SeedWith(const Bytes& file) { WriteBytes(BindingsFileName, file); }
    Bytes OnDisk() const { return ReadBytes(BindingsFileName); }
    ScratchFolder folder;
};

TEST_F(EndToEnd, WithoutABindingsFileItWarnsAndEndsWithoutADialog) {
    Tool tool = Start();
    HWND box = WaitForWindow(tool, L"Error!");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageOf(box), L"Could not open settings file.");
    EXPECT_EQ(FindWindowW(L"#32770", DialogCaption), nullptr);
    Click(box, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    EXPECT_TRUE(FolderContents(".").empty());
}

TEST_F(EndToEnd, OkOnAnUntouchedImageWritesItBackByteForByte) {
    for (LayoutKind layout : {StandardLayout, MahjongLayout}) {
        Bytes image = BuildImageFromRules(layout);
        SeedWith(image);
        Tool tool = StartWithDialog();
        ASSERT_NE(tool.dialog, nullptr);
        EXPECT_EQ(Text(tool.dialog, layout == MahjongLayout ? 2026 : 2000), PlatformKeyName(0x00020000));
        Click(tool.dialog, IDOK);
        EXPECT_EQ(WaitForExit(tool), 0);
        EXPECT_EQ(OnDisk(), image);
        EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
    }
}

TEST_F(EndToEnd, ACapturedUpArrowIsShownAndSaved) {
    SeedWith(BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, 3000);
    ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2000).size() == 2; }, 3000)) << "no countdown";
    PressKey(L"Up");
    std::wstring up = PlatformKeyName(0x01480000);
    EXPECT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2000) == up; }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(tool.dialog, 3000)) != FALSE; }, 3000));
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    Bytes expected = BuildImageFromRules(StandardLayout);
    expected[37] = 0xC8;
    EXPECT_EQ(OnDisk(), expected);
}

TEST_F(EndToEnd, SystemAndExitKeyButtonsAssignTheirKeys) {
    SeedWith(BuildImageFromRules(MahjongLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    const std::pair<int, const wchar_t*> captures[] = {{IDC_SYSTEM_CAPTURE, L"F5"}, {IDC_EXIT_CAPTURE, L"Home"}};
    for (auto [button, key] : captures) {
        Click(tool.dialog, button);
        ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, button - 1000).size() == 2; }, 3000));
        PressKey(key);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(tool.dialog, button)) != FALSE; }, 3000));
        Sleep(300); // a user's hand moving to the next button
    }
    EXPECT_EQ(Text(tool.dialog, IDC_SYSTEM_KEY), PlatformKeyName(0x003F0000));
    EXPECT_EQ(Text(tool.dialog, IDC_EXIT_KEY), PlatformKeyName(0x01470000));
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    Bytes expected = BuildImageFromRules(MahjongLayout);
    expected[1420 - 320 + 17] = 0x3F;
    expected[1420 - 288 + 17] = 0xC7;
    EXPECT_EQ(OnDisk(), expected);
}

TEST_F(EndToEnd, SwitchingToMahjongThenOkWritesTheMahjongImageWithZeroKeys) {
    SeedWith(BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, IDC_MAHJONG_GAME);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(tool.dialog, 2026)) != FALSE; }, 3000));
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    Bytes saved = OnDisk();
    ASSERT_EQ(saved.size(), MahjongFileSize);
    Bytes expected = BuildImageFromRules(MahjongLayout);
    for (uint32_t offset : MahjongKeyOffsets)
        expected[offset + KeyCodeInDevicePart] = 0;
    EXPECT_EQ(saved, expected);
}

TEST_F(EndToEnd, CancelAndTheCloseCommandLeaveTheFileUntouched) {
    Bytes file = BuildImageFromRules(StandardLayout);
    file[37] = 0x1E;
    for (bool viaClose : {false, true}) {
        SeedWith(file);
        Tool tool = StartWithDialog();
        ASSERT_NE(tool.dialog, nullptr);
        Click(tool.dialog, IDC_LOW_RESOLUTION);
        if (viaClose)
            PostMessageW(tool.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            Click(tool.dialog, IDCANCEL);
        EXPECT_EQ(WaitForExit(tool), 0);
        EXPECT_EQ(OnDisk(), file);
        EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
    }
}

TEST_F(EndToEnd, EscapeDoesNotCloseTheDialog) {
    SeedWith(BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    PressKey(L"Escape", 50);
    PressKey(L"Escape", 0);
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(tool.dialog));
    Click(tool.dialog, IDCANCEL);
    EXPECT_EQ(WaitForExit(tool), 0);
}

TEST_F(EndToEnd, ACaptureThatTimesOutLeavesOneAndTheKeyUnchanged) {
    Bytes file = BuildImageFromRules(StandardLayout);
    file[380 + 17] = 0x2C;
    SeedWith(file);
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, 3005);
    ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2005).size() == 2; }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(tool.dialog, 3005)) != FALSE; }, 15000));
    EXPECT_EQ(Text(tool.dialog, 2005), L"1");
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    EXPECT_EQ(OnDisk(), file);
}

TEST_F(EndToEnd, OkDuringARunningCaptureSavesAndExitsAtOnce) {
    SeedWith(BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, 3000);
    Click(tool.dialog, 3001);
    ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2001).size() == 2; }, 3000));
    DWORD start = GetTickCount();
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool, 5000), 0);
    EXPECT_LT(GetTickCount() - start, 3000u) << "the exit waited for the captures";
    EXPECT_EQ(OnDisk(), BuildImageFromRules(StandardLayout));
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        fprintf(stderr, "usage: e2e_tests PATH_OF_orvane_config.exe\n");
        return 2;
    }
    gToolPath = ToWindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
