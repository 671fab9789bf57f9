// The dialog procedure, driven with messages in-process: option boxes, layout switch, OK, Cancel,
// close, captures and the system beep.
#include "dialog/driver_path.h"
#include "dialog/fallback_captions.h"
#include "dialog/live_keys.h"
#include "dialog/session_beep.h"
#include "dialog/settings_dialog.h"
#include "keys/key_capture.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct PathCase {
    std::wstring typed;
    std::string saved;   // the whole 255-byte field, or empty when a warning refuses the text
    const char* warning; // or null
};

class SettingsDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallTemplates();
        StartRecordingWarnings();
        std::memset(&gSettings, 0, sizeof gSettings);
        SystemParametersInfoW(SPI_GETBEEP, 0, &beepBefore, 0);
    }
    void TearDown() override {
        if (dialog && IsWindow(dialog))
            DestroyWindow(dialog);
        DrainMessages();
        RestoreSessionBeep(); // as the program does at exit
        SystemParametersInfoW(SPI_SETBEEP, beepBefore, nullptr, 0);
    }

    void LoadFile(const Bytes& file) {
        WriteBytes(BindingsFileName, file);
        ASSERT_TRUE(LoadSettings());
    }
    void Open() {
        dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), nullptr,
                                    SettingsDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
    }
    void Click(int id) {
        HWND control = GetDlgItem(dialog, id);
        ASSERT_TRUE(IsWindowEnabled(control)) << "control " << id << " is disabled";
        SendMessageW(control, BM_CLICK, 0, 0);
    }
    void Command(int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool Checked(int id) const { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    std::wstring Text(int id) const {
        wchar_t text[600] = {};
        GetDlgItemTextW(dialog, id, text, 600);
        return text;
    }
    // Returns whether a WM_QUIT was among the messages.
    static bool DrainMessages() {
        bool quit = false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                quit = true;
            else
                DispatchMessageW(&message);
        }
        return quit;
    }

    void ExpectPathsSavedOrRefused(const std::vector<PathCase>& cases);

    ScratchFolder folder;
    HWND dialog = nullptr;
    BOOL beepBefore = TRUE;
};

Bytes StandardWithFlags(uint8_t mahjong, uint8_t fourWay, uint8_t square) {
    Bytes file = BuildImageFromRules(StandardLayout);
    file[1372 - 4] = mahjong;
    file[1372 - 2] = fourWay;
    file[1372 - 1] = square;
    return file;
}

struct OptionRow {
    const char* state;
    uint8_t mahjong, fourWay, square;
    bool mahjongChecked, fourWayEnabled, fourWayChecked, squareEnabled, squareChecked;
};

const OptionRow OptionRows[] = {
    {"mahjong layout", 1, 0, 0, true, false, false, false, false},
    {"mahjong layout, four-way and square loaded on", 1, 1, 1, true, false, false, false, false},
    {"standard, four-way off", 0, 0, 0, false, true, false, false, false},
    {"standard, four-way off, square kept on", 0, 0, 1, false, true, false, false, false},
    {"standard, four-way on", 0, 1, 0, false, true, true, true, false},
    {"standard, four-way and square on", 0, 1, 1, false, true, true, true, true},
    {"standard by a flag other than 1", 7, 1, 1, false, true, true, true, true},
};

TEST_F(SettingsDialog, OptionBoxesFollowTheLoadedFlags) {
    for (const OptionRow& row : OptionRows) {
        SCOPED_TRACE(row.state);
        LoadFile(StandardWithFlags(row.mahjong, row.fourWay, row.square));
        Open();
        EXPECT_EQ(Checked(IDC_MAHJONG_GAME), row.mahjongChecked);
        EXPECT_EQ(Enabled(IDC_FOUR_WAY), row.fourWayEnabled);
        EXPECT_EQ(Checked(IDC_FOUR_WAY), row.fourWayChecked);
        EXPECT_EQ(Enabled(IDC_SQUARE), row.squareEnabled);
        EXPECT_EQ(Checked(IDC_SQUARE), row.squareChecked);
        EXPECT_TRUE(IsWindowVisible(dialog));
        DestroyWindow(dialog);
        DrainMessages();
    }
}

TEST_F(SettingsDialog, OpeningFillsPathKeysAndLowResolution) {
    Bytes file = BuildImageFromRules(StandardLayout);
    std::memcpy(&file[1372 - 260], "D:\\arcade\\drv\xE9", 14);
    file[37] = 0xC8;              // standard slot 0: Up
    file[1372 - 320 + 17] = 0x3B; // system key: F1
    file[1372 - 3] = 1;           // low resolution
    LoadFile(file);
    Open();
    EXPECT_EQ(Text(IDC_DRIVER_PATH), L"D:\\arcade\\drv\u00E9");
    EXPECT_TRUE(Checked(IDC_LOW_RESOLUTION));
    wchar_t up[255] = {}, f1[255] = {}, one[255] = {};
    GetKeyNameTextW(0x01480000, up, 255);
    GetKeyNameTextW(0x003B0000, f1, 255);
    GetKeyNameTextW(0x00020000, one, 255);
    EXPECT_EQ(Text(2000), up);
    EXPECT_EQ(Text(2001), one);
    EXPECT_EQ(Text(IDC_SYSTEM_KEY), f1);
    EXPECT_EQ(Text(IDC_EXIT_KEY), one);
    EXPECT_EQ(Text(2026), L"") << "the mahjong set is not filled for a standard file";
}

// Clicks on the option boxes, from the flags a file was loaded with: the record's flags and what the
// boxes then show, by the option table (mahjong, four-way, square, low resolution).
struct ClickRow {
    const char* what;
    uint8_t mahjong, fourWay, square;
    std::vector<int> clicks;
    uint8_t flags[4];
    bool fourWayEnabled, fourWayChecked, squareEnabled, squareChecked;
};

const ClickRow ClickRows[] = {
    {"mahjong on resets the stick options",
     0,
     1,
     1,
     {IDC_MAHJONG_GAME},
     {1, 0, 0, 0},
     false,
     false,
     false,
     false},
    {"mahjong off again leaves four-way unchecked",
     0,
     1,
     1,
     {IDC_MAHJONG_GAME, IDC_MAHJONG_GAME},
     {0, 0, 0, 0},
     true,
     false,
     false,
     false},
    {"four-way, then square", 0, 0, 0, {IDC_FOUR_WAY, IDC_SQUARE}, {0, 1, 1, 0}, true, true, true, true},
    {"square off again",
     0,
     0,
     0,
     {IDC_FOUR_WAY, IDC_SQUARE, IDC_SQUARE},
     {0, 1, 0, 0},
     true,
     true,
     true,
     false},
    {"four-way off clears square",
     0,
     0,
     0,
     {IDC_FOUR_WAY, IDC_SQUARE, IDC_FOUR_WAY},
     {0, 0, 0, 0},
     true,
     false,
     false,
     false},
    {"a square flag loaded with four-way off is kept", 0, 0, 1, {}, {0, 0, 1, 0}, true, false, false, false},
    {"and shows once four-way goes on", 0, 0, 1, {IDC_FOUR_WAY}, {0, 1, 1, 0}, true, true, true, true},
    {"and clears once four-way goes off",
     0,
     0,
     1,
     {IDC_FOUR_WAY, IDC_FOUR_WAY},
     {0, 0, 0, 0},
     true,
     false,
     false,
     false},
    {"leaving a mahjong file shows the four-way and square it will save",
     1,
     1,
     1,
     {IDC_MAHJONG_GAME},
     {0, 1, 1, 0},
     true,
     true,
     true,
     true},
    {"low resolution on and off",
     0,
     0,
     0,
     {IDC_LOW_RESOLUTION, IDC_LOW_RESOLUTION, IDC_LOW_RESOLUTION},
     {0, 0, 0, 1},
     true,
     false,
     false,
     false},
};

TEST_F(SettingsDialog, OptionClicksSetTheFlagsAndTheBoxesByTheOptionTable) {
    for (const ClickRow& row : ClickRows) {
        SCOPED_TRACE(row.what);
        LoadFile(StandardWithFlags(row.mahjong, row.fourWay, row.square));
        Open();
        for (int id : row.clicks)
            Click(id);
        const uint8_t flags[4] = {gSettings.mahjongFlag, gSettings.fourWayFlag, gSettings.squareFlag,
                                  gSettings.lowResolutionFlag};
        EXPECT_EQ(std::vector<uint8_t>(flags, flags + 4), std::vector<uint8_t>(row.flags, row.flags + 4));
        EXPECT_EQ(Enabled(IDC_FOUR_WAY), row.fourWayEnabled);
        EXPECT_EQ(Checked(IDC_FOUR_WAY), row.fourWayChecked);
        EXPECT_EQ(Enabled(IDC_SQUARE), row.squareEnabled);
        EXPECT_EQ(Checked(IDC_SQUARE), row.squareChecked);
        EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog, 2026)) != FALSE, row.flags[0] == 1);
        EXPECT_EQ(IsWindowVisible(GetDlgItem(dialog, 2000)) != FALSE, row.flags[0] != 1);
        EXPECT_EQ(Text(row.mahjong == 1 ? 2000 : 2026), L"")
            << "switching the layout does not fill the fields";
        DestroyWindow(dialog);
        DrainMessages();
    }
}

// How the dialog ends after an option and the path were changed: OK saves them, Cancel and close
// save nothing; each destroys the dialog and ends the message loop.
TEST_F(SettingsDialog, OkSavesTheChangesCancelAndCloseSaveNothingAndEachQuits) {
    struct Ending {
        const char* what;
        UINT message;
        WPARAM wParam;
        bool saves;
    };
    const Ending endings[] = {{"OK", WM_COMMAND, IDOK, true},
                              {"Cancel", WM_COMMAND, IDCANCEL, false},
                              {"close", WM_CLOSE, 0, false}};
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.what);
        Bytes file = BuildImageFromRules(StandardLayout);
        LoadFile(file);
        Open();
        Click(IDC_LOW_RESOLUTION);
        SetDlgItemTextW(dialog, IDC_DRIVER_PATH, L"C:\\loader\\driver.sys");
        SendMessageW(dialog, ending.message, ending.wParam, 0);
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_TRUE(DrainMessages()) << "WM_QUIT posted";
        if (ending.saves) {
            std::memcpy(&file[1372 - 260], "C:\\loader\\driver.sys", 20);
            file[1372 - 3] = 1;
        }
        EXPECT_EQ(ReadBytes(BindingsFileName), file);
        EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
        EXPECT_TRUE(RecordedWarnings().empty());
    }
}

Bytes FileWithPath(const std::string& path) {
    Bytes file = BuildImageFromRules(StandardLayout);
    std::memcpy(&file[1372 - 260], path.data(), path.size());
    return file;
}

std::string SavedPath(const Bytes& saved) {
    return std::string(saved.begin() + (1372 - 260), saved.begin() + (1372 - 5));
}

// OK puts the typed path into the file in the system's code page, or warns and keeps the dialog
// open with the focus in the path; a refused path saves nothing.
void SettingsDialog::ExpectPathsSavedOrRefused(const std::vector<PathCase>& cases) {
    for (const PathCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.typed.size() << " characters, code page " << GetACP());
        Bytes file = FileWithPath(std::string(255, 'z'));
        LoadFile(file);
        Open();
        SetDlgItemTextW(dialog, IDC_DRIVER_PATH, c.typed.c_str());
        StartRecordingWarnings();
        Command(IDOK);
        if (c.warning == nullptr) {
            EXPECT_FALSE(IsWindow(dialog));
            EXPECT_EQ(SavedPath(ReadBytes(BindingsFileName)), c.saved);
            EXPECT_TRUE(RecordedWarnings().empty());
        } else {
            EXPECT_EQ(RecordedWarnings(), std::vector<std::string>{c.warning});
            ASSERT_TRUE(IsWindow(dialog));
            EXPECT_TRUE(IsWindowEnabled(dialog));
            EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_DRIVER_PATH));
            EXPECT_EQ(ReadBytes(BindingsFileName), file);
            Command(IDCANCEL);
        }
        DrainMessages();
    }
}

std::string Repeated(const std::string& text, size_t times) {
    std::string repeated;
    while (times-- > 0)
        repeated += text;
    return repeated;
}

std::string Field(const std::string& text) {
    return text + std::string(255 - text.size(), '\0');
}

TEST_F(SettingsDialog, OkStoresThePathInTheWesternCodePageOrRefusesIt) {
    ASSERT_EQ(GetACP(), 1252u) << "Wine under C.UTF-8";
    ExpectPathsSavedOrRefused({
        {L"C:\\caf\u00E9\\drv", Field("C:\\caf\xE9\\drv"), nullptr},
        {L"", Field(""), nullptr},
        {std::wstring(254, L'p'), Field(std::string(254, 'p')), nullptr},
        {std::wstring(255, L'q'), "", PathTooLongWarning},
        {L"ab\u4E2Dcd", "", PathCharactersWarning},
        {L"C:\\\u0100", "", PathCharactersWarning}, // no best fit: not stored as "A"
    });
}

TEST_F(SettingsDialog, AnUntouchedPathIsSavedAsItWasLoaded) {
    Bytes file = FileWithPath(std::string(255, 'z'));
    LoadFile(file);
    Open();
    EXPECT_EQ(Text(IDC_DRIVER_PATH), std::wstring(255, L'z'));
    Command(IDOK);
    EXPECT_EQ(ReadBytes(BindingsFileName), file);
}

SHORT WINAPI HoldingAAndS(int virtualKey) {
    return virtualKey == 'A' || virtualKey == 'S' ? static_cast<SHORT>(0x8000) : 0;
}

// Two inputs share A, the exit key is S; every other input keeps the image's 1.
TEST_F(SettingsDialog, TheKeyTestLightsTheHeldKeysInputsOnlyWhileTheDialogIsActive) {
    Bytes file = BuildImageFromRules(StandardLayout);
    auto a = static_cast<uint8_t>(MapVirtualKeyW('A', 0)), s = static_cast<uint8_t>(MapVirtualKeyW('S', 0));
    file[StandardSlotByte(3)] = file[StandardSlotByte(20)] = a;
    file[TrailerPosition(StandardFileSize, ExitKeyPart) + KeyCodeInDevicePart] = s;
    LoadFile(file);
    Open();
    auto readKeys = gKeyTestKeyState;
    gKeyTestKeyState = HoldingAAndS;
    auto litFields = [&] {
        SendMessageW(dialog, WM_TIMER, KeyTestTimer, 0);
        std::vector<int> lit;
        for (int field = IDC_STANDARD_KEY_FIRST; field <= IDC_EXIT_KEY; ++field)
            if (IsKeyFieldLit(field))
                lit.push_back(field);
        return lit;
    };
    SetForegroundWindow(dialog);
    EXPECT_EQ(litFields(), (std::vector<int>{2003, 2020, IDC_EXIT_KEY}));
    HWND other = CreateWindowExW(0, L"Static", L"another program", WS_POPUP | WS_VISIBLE | WS_BORDER, 700, 0,
                                 200, 100, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    EXPECT_EQ(litFields(), std::vector<int>{}) << "another window is active";
    gKeyTestKeyState = readKeys;
    DestroyWindow(other);
}

bool IsAscii(const std::wstring& text) {
    for (wchar_t c : text)
        if (c >= 0x80)
            return false;
    return true;
}

int CaptionWidth(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}

// The width a control's caption may take: less a check box's box and its gap, a frame's indents, a
// push button's edges.
int RoomForCaption(HWND control) {
    RECT client;
    GetClientRect(control, &client);
    wchar_t windowClass[16] = {};
    GetClassNameW(control, windowClass, 16);
    if (lstrcmpiW(windowClass, L"Button") != 0)
        return client.right;
    switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX:
        return client.right - GetSystemMetrics(SM_CXMENUCHECK) - 4;
    case BS_GROUPBOX:
        return client.right - 16;
    default:
        return client.right - 6;
    }
}

TEST_F(SettingsDialog, WithoutChineseFontsEveryCaptionIsEnglishAndFitsItsControl) {
    bool (*canShowChinese)() = gCanShowChinese;
    gCanShowChinese = [] { return false; };
    LoadFile(BuildImageFromRules(StandardLayout));
    Open();
    gCanShowChinese = canShowChinese;
    wchar_t caption[64] = {};
    GetWindowTextW(dialog, caption, 64);
    EXPECT_STREQ(caption, L"Orvane Settings");
    EXPECT_EQ(Text(IDOK), L"OK");
    int captions = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t windowClass[16] = {}, text[64] = {};
        GetClassNameW(child, windowClass, 16);
        GetWindowTextW(child, text, 64);
        bool banner = lstrcmpiW(windowClass, L"Static") == 0 &&
                      (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
        if (lstrcmpiW(windowClass, L"Edit") == 0 || text[0] == L'\0' || banner)
            continue;
        ++captions;
        EXPECT_TRUE(IsAscii(text)) << "control " << GetDlgCtrlID(child);
        EXPECT_LE(CaptionWidth(child, text), RoomForCaption(child))
            << "control " << GetDlgCtrlID(child) << ": " << std::string(text, text + lstrlenW(text));
    }
    EXPECT_EQ(captions, 57 + 28) << "57 captions and the 28 marks of the default keys";
}

// Run with Wine's code page 950 (LC_ALL=zh_TW.UTF-8), the system code page of Traditional Chinese.
class Big5CodePage : public SettingsDialog {
  protected:
    void SetUp() override {
        SettingsDialog::SetUp();
        ASSERT_EQ(GetACP(), 950u) << "run with LC_ALL=zh_TW.UTF-8";
    }
};

TEST_F(Big5CodePage, OkStoresThePathInBig5OrRefusesIt) {
    ExpectPathsSavedOrRefused({
        {L"D:\\\u904A\u6232\\\u9A45\u52D5", Field("D:\\\xB9\x43\xC0\xB8\\\xC5\x58\xB0\xCA"), nullptr},
        {std::wstring(127, L'\u904A'), Field(Repeated("\xB9\x43", 127)), nullptr},
        {std::wstring(200, L'\u904A'), "", PathTooLongWarning},
        {L"\u00E9", "", PathCharactersWarning},
    });
}

TEST_F(Big5CodePage, PathBytesThatAreNotBig5ComeBackByteForByte) {
    // 127 times 中, then a lead byte without its trail byte
    std::string full = Repeated("\xA4\x40", 127) + "\xA4";
    for (const std::string& path : {std::string("D:\\\x80\xFF\xA4"), full}) {
        Bytes file = FileWithPath(path);
        LoadFile(file);
        Open();
        Command(IDOK);
        DrainMessages();
        EXPECT_EQ(ReadBytes(BindingsFileName), file) << path.size() << " bytes";
    }
}

void PressKey(WORD virtualKey, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void PumpFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        Sleep(5);
    }
}

TEST_F(SettingsDialog, OkDuringACaptureEndsCleanlyAndTheLateKeyIsNotSaved) {
    LoadFile(BuildImageFromRules(StandardLayout));
    Open();
    Click(3001);
    PumpFor(100);
    Command(IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    Bytes saved = ReadBytes(BindingsFileName);
    PressKey(VK_DOWN, true);
    PumpFor(150);
    PressKey(VK_DOWN, false);
    PumpFor(200);
    EXPECT_EQ(gSettings.standardKeys[1], 0xD0) << "the worker still finished";
    EXPECT_EQ(ReadBytes(BindingsFileName), saved);
}

bool gWasInMenuMode = false;

void CALLBACK LeaveMenuMode(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetCurrentThreadId(), &info);
    gWasInMenuMode = (info.flags & GUI_INMENUMODE) != 0;
    EndMenu();
}

// Alt or F10 alone, with no control focused as during a capture, must not put the window into menu
// mode: that would eat the next click or key.
TEST_F(SettingsDialog, AltAloneDoesNotEnterMenuMode) {
    LoadFile(BuildImageFromRules(StandardLayout));
    Open();
    gWasInMenuMode = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 300, LeaveMenuMode);
    SendMessageW(dialog, WM_SYSCOMMAND, SC_KEYMENU, 0);
    PumpFor(400);
    KillTimer(nullptr, timer);
    EXPECT_FALSE(gWasInMenuMode);
}

// The user's setting is set as Control Panel sets it, in the profile too: that is what the first copy
// reads, since a copy that was killed leaves the live setting off.
TEST_F(SettingsDialog, TheBeepIsOffWhileTheDialogIsUpAndRestoredAfter) {
    for (BOOL before : {TRUE, FALSE}) {
        SystemParametersInfoW(SPI_SETBEEP, before, nullptr, SPIF_UPDATEINIFILE);
        LoadFile(BuildImageFromRules(StandardLayout));
        Open();
        BOOL during = TRUE;
        SystemParametersInfoW(SPI_GETBEEP, 0, &during, 0);
        EXPECT_FALSE(during);
        Command(IDCANCEL);
        RestoreSessionBeep();
        BOOL after = !before;
        SystemParametersInfoW(SPI_GETBEEP, 0, &after, 0);
        EXPECT_EQ(after, before);
    }
    SystemParametersInfoW(SPI_SETBEEP, TRUE, nullptr, SPIF_UPDATEINIFILE);
}

} // namespace
