// The dialog procedure, driven with messages in-process: option boxes and the layout switch, the
// opening, OK, Cancel and close with the system beep, the driver path in both code pages, the English
// captions and menu mode.
#include "dialog/accessibility_shortcuts_win.h"
#include "dialog/beep_share_win.h"
#include "dialog/captures_win.h"
#include "dialog/driver_path_win.h"
#include "dialog/fallback_captions_win.h"
#include "dialog/live_keys_win.h"
#include "dialog/settings_dialog_win.h"
#include "keys/key_capture.h"
#include "keys/keyboard_win.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>

namespace {

Bytes Standard() {
    return BuildImageFromRules(StandardLayout);
}

std::string Field(const std::string& text) {
    return text + std::string(255 - text.size(), '\0');
}

struct PathCase {
    std::string loaded;
    std::optional<std::wstring> typed; // none: the loaded path is left as it is
    std::string saved;                 // the whole 255-byte field, or empty when a warning refuses it
    const char* warning = nullptr;
    const wchar_t* shown = nullptr; // the text the path field shows at the start
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
        Close();
        RestoreSessionBeep(); // as the program does at exit
        SystemParametersInfoW(SPI_SETBEEP, beepBefore, nullptr, 0);
        gAccessibilityParameters = SystemParametersInfoW;
    }

    void Open(const Bytes& file) {
        WriteBytes(BindingsFileName, file);
        ASSERT_TRUE(LoadSettings());
        dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), nullptr,
                                    SettingsDialogProc, 0);
        ASSERT_NE(dialog, nullptr);
    }
    void Close() {
        if (dialog && IsWindow(dialog))
            DestroyWindow(dialog);
        DrainMessages();
    }
    void Click(int id) {
        ASSERT_TRUE(IsWindowEnabled(GetDlgItem(dialog, id))) << "control " << id << " is disabled";
        SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    }
    void Command(int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    bool Shown(int id) const { return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0; }
    std::wstring Text(int id) const {
        wchar_t text[600] = {};
        GetDlgItemTextW(dialog, id, text, 600);
        return text;
    }
    // Returns whether a WM_QUIT was among the messages.
    static bool DrainMessages() {
        bool quit = false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            quit |= message.message == WM_QUIT || (DispatchMessageW(&message), false);
        return quit;
    }

    // OK puts the typed path into the file in the system's code page, or warns and keeps the dialog
    // open with the focus in the path, saving nothing. A path left as it was keeps its bytes.
    void ExpectPathsSavedOrRefused(const std::vector<PathCase>& cases) {
        for (const PathCase& c : cases) {
            SCOPED_TRACE(testing::Message() << c.loaded.size() << " bytes loaded, code page " << GetACP());
            Bytes file = Standard();
            std::memcpy(&file[1372 - 260], c.loaded.data(), c.loaded.size());
            Open(file);
            if (c.shown) {
                EXPECT_EQ(Text(IDC_DRIVER_PATH), c.shown);
            }
            if (c.typed)
                SetDlgItemTextW(dialog, IDC_DRIVER_PATH, c.typed->c_str());
            StartRecordingWarnings();
            Command(IDOK);
            Bytes saved = ReadBytes(BindingsFileName);
            if (c.warning == nullptr) {
                EXPECT_FALSE(IsWindow(dialog));
                EXPECT_EQ(std::string(saved.begin() + (1372 - 260), saved.begin() + (1372 - 5)), c.saved);
                EXPECT_TRUE(RecordedWarnings().empty());
            } else {
                EXPECT_EQ(RecordedWarnings(), std::vector<std::string>{c.warning});
                EXPECT_TRUE(IsWindow(dialog) && IsWindowEnabled(dialog));
                EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_DRIVER_PATH));
                EXPECT_EQ(saved, file);
            }
            Close();
        }
    }

    // Opened in front, once the keyboard is open.
    void OpenInFront() {
        Open(Standard());
        SetForegroundWindow(dialog);
        RunDialogUntil(IsKeyboardOpen, 10000);
        ASSERT_TRUE(IsKeyboardOpen()) << "the keyboard did not open after the dialog's first picture";
    }

    // The program's loop for a while: messages through the dialog manager until `done` or the limit.
    // Returns how many timer messages reached the dialog.
    template <typename Done> int RunDialogUntil(Done done, DWORD limitMs) {
        int timers = 0;
        for (DWORD start = GetTickCount(); !done() && GetTickCount() - start < limitMs;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
                timers += message.message == WM_TIMER && message.hwnd == dialog;
                if (!IsWindow(dialog) || !IsDialogMessageW(dialog, &message))
                    DispatchMessageW(&message);
            }
        }
        return timers;
    }

    // A key or the left mouse button held as a person holds it, 150 ms, while the dialog runs.
    void Hold(INPUT input, DWORD up) {
        SendInput(1, &input, sizeof input);
        RunDialogUntil([] { return false; }, 150);
        input.type == INPUT_KEYBOARD ? input.ki.dwFlags |= up : input.mi.dwFlags = up;
        SendInput(1, &input, sizeof input);
    }
    void HoldKey(WORD virtualKey, WORD scan) {
        INPUT key = {INPUT_KEYBOARD, {}};
        key.ki = {virtualKey, scan, 0, 0, 0};
        Hold(key, KEYEVENTF_KEYUP);
    }

    ScratchFolder folder;
    HWND dialog = nullptr;
    BOOL beepBefore = TRUE;
};

// The option boxes and the record's flags, from the flags a file was loaded with and the clicks on
// mahjong (M), four-way (F), square (S) and low resolution (L), by the option table; the layout's set
// of inputs is shown, the other hidden, and a switch fills no field.
TEST_F(SettingsDialog, OptionsFollowTheLoadedFlagsAndTheClicksByTheOptionTable) {
    struct Row {
        const char* what;
        uint8_t mahjong, fourWay, square;
        const char* clicks;
        const char* flags; // mahjong, four-way, square, low resolution
        const char* boxes; // mahjong checked, four-way enabled and checked, square enabled and checked
    };
    const Row rows[] = {
        {"mahjong layout", 1, 0, 0, "", "1000", "10000"},
        {"mahjong, four-way and square loaded on", 1, 1, 1, "", "1110", "10000"},
        {"standard, four-way off", 0, 0, 0, "", "0000", "01000"},
        {"square kept on under four-way off", 0, 0, 1, "", "0010", "01000"},
        {"standard, four-way on", 0, 1, 0, "", "0100", "01110"},
        {"standard, four-way and square on", 0, 1, 1, "", "0110", "01111"},
        {"standard by a flag other than 1", 7, 1, 1, "", "7110", "01111"},
        {"mahjong on resets the stick options", 0, 1, 1, "M", "1000", "10000"},
        {"mahjong off again leaves four-way unchecked", 0, 1, 1, "MM", "0000", "01000"},
        {"four-way, then square", 0, 0, 0, "FS", "0110", "01111"},
        {"square off again", 0, 0, 0, "FSS", "0100", "01110"},
        {"four-way off clears square", 0, 0, 0, "FSF", "0000", "01000"},
        {"a kept square shows once four-way goes on", 0, 0, 1, "F", "0110", "01111"},
        {"and clears once four-way goes off", 0, 0, 1, "FF", "0000", "01000"},
        {"leaving a mahjong file shows the four-way and square it will save", 1, 1, 1, "M", "0110", "01111"},
        {"low resolution on and off", 0, 0, 0, "LLL", "0001", "01000"},
    };
    const int boxIds[] = {IDC_MAHJONG_GAME, IDC_FOUR_WAY, IDC_SQUARE, IDC_LOW_RESOLUTION};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Bytes file = Standard();
        file[1372 - 4] = row.mahjong, file[1372 - 2] = row.fourWay, file[1372 - 1] = row.square;
        Open(file);
        for (const char* click = row.clicks; *click; ++click)
            Click(boxIds[std::string("MFSL").find(*click)]);
        std::string flags;
        for (uint8_t flag : {gSettings.mahjongFlag, gSettings.fourWayFlag, gSettings.squareFlag,
                             gSettings.lowResolutionFlag})
            flags += static_cast<char>('0' + flag);
        auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) ? '1' : '0'; };
        auto checked = [&](int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? '1' : '0'; };
        std::string boxes = {checked(IDC_MAHJONG_GAME), enabled(IDC_FOUR_WAY), checked(IDC_FOUR_WAY),
                             enabled(IDC_SQUARE), checked(IDC_SQUARE)};
        EXPECT_EQ(flags, row.flags);
        EXPECT_EQ(boxes, row.boxes);
        bool mahjong = row.flags[0] == '1';
        for (int id = IDC_STANDARD_KEY_FIRST; id < IDC_MAHJONG_KEY_FIRST + 28; ++id)
            for (int control : {id, id + IDC_CAPTURE_FIELD_DISTANCE})
                EXPECT_EQ(Shown(control), (id >= IDC_MAHJONG_KEY_FIRST) == mahjong) << "control " << control;
        for (int id = IDC_STANDARD_LABEL_FIRST; id <= IDC_MAHJONG_LABEL_LAST; ++id)
            EXPECT_EQ(Shown(id), (id >= IDC_MAHJONG_FRAME) == mahjong) << "label or frame " << id;
        for (int id : {IDOK, IDCANCEL, 1002, 1003, 1004, 1005, 1006, 2098, 2099, 3098, 3099})
            EXPECT_TRUE(Shown(id)) << "common control " << id;
        EXPECT_EQ(Text(row.mahjong == 1 ? 2000 : 2026), L"") << "a switch fills no field";
        Close();
    }
}

// A file with a path, keys and low resolution opens with them shown. After an option and the path
// were changed, OK saves them, Cancel and close save nothing; each destroys the dialog and ends the
// message loop. The beep is off while the dialog is up and as the user had it after: set as Control
// Panel sets it, in the profile too, which is what the first copy reads (a copy that was killed
// leaves the live setting off).
TEST_F(SettingsDialog, OpensWithTheFileOkSavesTheChangesCancelAndCloseNothingAndTheBeepComesBack) {
    const std::tuple<const char*, UINT, WPARAM, BOOL> endings[] = {{"OK", WM_COMMAND, IDOK, TRUE},
                                                                   {"Cancel", WM_COMMAND, IDCANCEL, FALSE},
                                                                   {"close", WM_CLOSE, 0, TRUE}};
    for (auto [what, message, wParam, beep] : endings) {
        SCOPED_TRACE(what);
        SystemParametersInfoW(SPI_SETBEEP, beep, nullptr, SPIF_UPDATEINIFILE);
        Bytes file = Standard();
        std::memcpy(&file[1372 - 260], "D:\\arcade\\drv\xE9", 14);
        file[StandardSlotByte(0)] = 0xC8;                                                    // Up
        file[TrailerPosition(StandardFileSize, SystemKeyPart) + KeyCodeInDevicePart] = 0x3B; // F1
        file[1372 - 3] = 1;
        Open(file);
        EXPECT_EQ(Text(IDC_DRIVER_PATH), L"D:\\arcade\\drv\u00E9");
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LOW_RESOLUTION), BST_CHECKED);
        EXPECT_EQ(Text(2000), PlatformKeyName(0x01480000));
        EXPECT_EQ(Text(2001), PlatformKeyName(0x00020000));
        EXPECT_EQ(Text(IDC_SYSTEM_KEY), PlatformKeyName(0x003B0000));
        EXPECT_EQ(Text(IDC_EXIT_KEY), PlatformKeyName(0x00020000));
        BOOL during = TRUE, after = !beep;
        SystemParametersInfoW(SPI_GETBEEP, 0, &during, 0);
        EXPECT_FALSE(during);
        Click(IDC_LOW_RESOLUTION);
        SetDlgItemTextW(dialog, IDC_DRIVER_PATH, L"C:\\loader\\driver.sys");
        SendMessageW(dialog, message, wParam, 0);
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_TRUE(DrainMessages()) << "WM_QUIT posted";
        RestoreSessionBeep(); // as the program does at exit
        SystemParametersInfoW(SPI_GETBEEP, 0, &after, 0);
        EXPECT_EQ(after, beep);
        if (wParam == IDOK) {
            std::memcpy(&file[1372 - 260], "C:\\loader\\driver.sys", 20);
            file[1372 - 3] = 0;
        }
        EXPECT_EQ(ReadBytes(BindingsFileName), file);
        EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
        EXPECT_TRUE(RecordedWarnings().empty());
    }
    SystemParametersInfoW(SPI_SETBEEP, TRUE, nullptr, SPIF_UPDATEINIFILE);
}

// The session's Sticky, Filter and Toggle Keys flags, kept by a stand-in for SystemParametersInfoW
// that also notes whether any call would write the user profile, and fails every call when told to.
struct FakeAccessibility {
    std::array<DWORD, 3> flags;
    bool failing = false;
    bool wroteProfile = false;
} gAccessibility;

BOOL WINAPI FakeAccessibilityParameters(UINT action, UINT size, PVOID value, UINT update) {
    const UINT gets[] = {SPI_GETSTICKYKEYS, SPI_GETFILTERKEYS, SPI_GETTOGGLEKEYS};
    const UINT sets[] = {SPI_SETSTICKYKEYS, SPI_SETFILTERKEYS, SPI_SETTOGGLEKEYS};
    const UINT sizes[] = {sizeof(STICKYKEYS), sizeof(FILTERKEYS), sizeof(TOGGLEKEYS)};
    gAccessibility.wroteProfile |= update != 0;
    DWORD* fields = static_cast<DWORD*>(value); // cbSize, then dwFlags
    for (size_t feature = 0; feature < 3; ++feature) {
        if (gAccessibility.failing || size != sizes[feature] || fields[0] != size)
            continue;
        if (action == gets[feature])
            fields[1] = gAccessibility.flags[feature];
        else if (action == sets[feature])
            gAccessibility.flags[feature] = fields[1];
        else
            continue;
        return TRUE;
    }
    return FALSE;
}

// The shortcuts of features that are off are off while the dialog is active, and come back as they
// were when it last became active, when it stops being active and when it ends by OK, Cancel or
// close. The flags start as Windows ships them, every feature off; Sticky Keys is switched on in
// between, as by its own shortcut. A second activation with no deactivation between (a minimised
// window activated, then restored) keeps what the first saved. Where every call fails, as on Wine,
// nothing changes and nothing is shown.
TEST_F(SettingsDialog, AccessibilityShortcutsAreOffOnlyWhileTheDialogIsActive) {
    const std::array<DWORD, 3> shipped = {0x1FE, 0x7E, 0x3E}, quiet = {0x1F2, 0x72, 0x32};
    const std::array<DWORD, 3> stickyOn = {0x1FF, 0x7E, 0x3E}, stickyOnQuiet = {0x1FF, 0x72, 0x32};
    const std::tuple<const char*, UINT, WPARAM, bool> endings[] = {{"OK", WM_COMMAND, IDOK, false},
                                                                   {"Cancel", WM_COMMAND, IDCANCEL, false},
                                                                   {"close", WM_CLOSE, 0, false},
                                                                   {"every call failing", WM_CLOSE, 0, true}};
    gAccessibilityParameters = FakeAccessibilityParameters;
    for (auto [what, message, wParam, failing] : endings) {
        SCOPED_TRACE(what);
        gAccessibility = {shipped, failing, false};
        Open(Standard());
        SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(gAccessibility.flags, failing ? shipped : quiet);
        SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(gAccessibility.flags, failing ? shipped : quiet);
        SendMessageW(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
        EXPECT_EQ(gAccessibility.flags, shipped);
        gAccessibility.flags = stickyOn;
        SendMessageW(dialog, WM_ACTIVATE, WA_CLICKACTIVE, 0);
        EXPECT_EQ(gAccessibility.flags, failing ? stickyOn : stickyOnQuiet);
        SendMessageW(dialog, message, wParam, 0);
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_EQ(gAccessibility.flags, stickyOn);
        EXPECT_FALSE(gAccessibility.wroteProfile);
        EXPECT_TRUE(RecordedWarnings().empty());
    }
}

// From another thread while the dialog's thread is in a message box: Q pressed as a person would (Wine
// sees a key sent by SendInput reliably from a 100 ms hold), then, once the key field shows Q's name
// or after a limit, the box closed.
struct KeyBehindABox {
    HWND field;
    std::wstring name;
    bool shownBehindTheBox;
};
const wchar_t BoxCaption[] = L"A box of the dialog";

void SendKey(WORD virtualKey, WORD scan, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki = {virtualKey, scan, flags, 0, 0};
    SendInput(1, &input, sizeof input);
}

DWORD WINAPI PressQThenCloseTheBox(void* parameter) {
    KeyBehindABox& key = *static_cast<KeyBehindABox*>(parameter);
    HWND box = nullptr;
    for (DWORD start = GetTickCount(); GetForegroundWindow() != box && GetTickCount() - start < 10000;
         Sleep(20))
        box = FindWindowW(L"#32770", BoxCaption); // in front, where the keys reach DirectInput
    SendKey('Q', 0x10, 0);
    Sleep(150);
    SendKey('Q', 0x10, KEYEVENTF_KEYUP);
    wchar_t text[64] = {};
    for (DWORD start = GetTickCount(); key.name != text && GetTickCount() - start < 10000; Sleep(20))
        GetWindowTextW(key.field, text, 64);
    key.shownBehindTheBox = box != nullptr && IsWindow(box) && key.name == text;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return 0;
}

// The keyboard itself wakes a capture, not its timer, which only counts down; it takes its key even while a
// message box of the dialog is open: the box's own message loop hands the dialog the signal.
TEST_F(SettingsDialog, AKeyEndsACaptureWithoutItsTimerWhileAMessageBoxIsOpen) {
    OpenInFront();
    Command(3000);
    ASSERT_EQ(Text(2000), L"100");
    KeyBehindABox key = {GetDlgItem(dialog, 2000), PlatformKeyName(0x00100000), false};
    HANDLE presser = CreateThread(nullptr, 0, PressQThenCloseTheBox, &key, 0, nullptr);
    ASSERT_NE(presser, nullptr);
    MessageBoxW(dialog, L"A capture runs behind this box.", BoxCaption, MB_OK);
    WaitForSingleObject(presser, INFINITE);
    CloseHandle(presser);
    EXPECT_TRUE(key.shownBehindTheBox) << "the capture did not take the key while the box was open";
    EXPECT_EQ(Text(2000), key.name);
    EXPECT_EQ(gSettings.standardKeys[0], 0x10);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 3000)));
}

// As a person assigns keys: a real click on Down's button while Up's capture runs, then Q, Tab and
// Enter. The press ends Up's capture with nothing stored (a click is no key) and starts Down's; the
// dialog keeps the focus during it, so the key is read (Wine 10, as Windows, hands DirectInput no
// key while no window of the program has the focus); after it Tab reaches OK and Enter presses it.
TEST_F(SettingsDialog, AClickIsNoKeyAndAfterACaptureTabMovesTheFocusAndEnterPressesOk) {
    OpenInFront();
    Click(3000);
    RECT down;
    GetWindowRect(GetDlgItem(dialog, 3001), &down);
    INPUT mouse = {INPUT_MOUSE, {}};
    mouse.mi.dx = (down.left + down.right) / 2 * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    mouse.mi.dy = (down.top + down.bottom) / 2 * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    mouse.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    Hold(mouse, MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE);
    Hold(mouse, MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE);
    RunDialogUntil([] { return SingleCaptureRuns(3001); }, 10000);
    EXPECT_EQ(Text(2000), PlatformKeyName(0x00020000)) << "Up shows its key again";
    HoldKey('Q', 0x10);
    RunDialogUntil([&] { return Text(2001) == PlatformKeyName(0x00100000); }, 10000);
    HoldKey(VK_TAB, 0x0F);
    RunDialogUntil([&] { return GetFocus() == GetDlgItem(dialog, IDOK); }, 10000);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK)) << "Tab did not move the focus to OK";
    HoldKey(VK_RETURN, 0x1C);
    RunDialogUntil([&] { return !IsWindow(dialog); }, 10000);
    ASSERT_FALSE(IsWindow(dialog)) << "Enter did not close the dialog";
    Bytes saved = ReadBytes(BindingsFileName);
    EXPECT_EQ(saved[StandardSlotByte(0)], 0x02) << "Up kept its key";
    EXPECT_EQ(saved[StandardSlotByte(1)], 0x10) << "Down took Q";
}

// The mahjong box ends a running capture: its input keeps its key, its button is enabled again, and
// the capture's timer is gone with it, so the dialog at rest is not woken.
TEST_F(SettingsDialog, TheLayoutSwitchEndsACaptureAndItsTimer) {
    OpenInFront();
    Click(3000);
    Click(IDC_MAHJONG_GAME);
    EXPECT_FALSE(AnyCaptureRuns());
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, 3000)));
    EXPECT_EQ(Text(2000), PlatformKeyName(0x00020000));
    EXPECT_EQ(RunDialogUntil([] { return false; }, 400), 0) << "timer messages at rest";
}

// A panel key already held as the dialog becomes active lights its fields at once, from a reading
// made then, not only once another key moves.
TEST_F(SettingsDialog, AKeyHeldAsTheDialogBecomesActiveLightsItsFields) {
    OpenInFront();
    SendMessageW(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
    SendKey('1', 0x02, 0);
    RunDialogUntil([] { return GetAsyncKeyState('1') < 0; }, 10000);
    RunDialogUntil([] { return false; }, 200); // the signal of the key going down, handled
    EXPECT_FALSE(IsKeyFieldLit(2000)) << "lit while the dialog was not active";
    SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(IsKeyFieldLit(2000));
    SendKey('1', 0x02, KEYEVENTF_KEYUP);
}

// Run in each system code page: Western (1252, Wine under C.UTF-8) and Traditional Chinese's Big5
// (950, Wine under LC_ALL=zh_TW.UTF-8).
TEST_F(SettingsDialog, OkStoresThePathInTheSystemsCodePageOrRefusesItAndKeepsBytesItCannotShow) {
    const std::string z(255, 'z'), notBig5 = "D:\\\x80\xFF\xA4",
                                   big5 = "D:\\\xB9\x43\xC0\xB8\\\xC5\x58\xB0\xCA";
    const std::wstring zs(255, L'z'), big5Shown = L"D:\\\u904A\u6232\\\u9A45\u52D5"; // D:\遊戲\驅動
    std::string you127, cutLead; // 127 times 遊; 中, then a lone lead byte
    for (int i = 0; i < 127; ++i)
        you127 += "\xB9\x43", cutLead += "\xA4\x40";
    cutLead += "\xA4";
    const std::vector<PathCase> western = {
        {z, L"C:\\caf\u00E9\\drv", Field("C:\\caf\xE9\\drv")},
        {z, L"", Field("")},
        {z, std::wstring(254, L'p'), Field(std::string(254, 'p'))},
        {z, std::nullopt, z, nullptr, zs.c_str()},
        {z, std::wstring(255, L'q'), "", PathTooLongWarning},
        {z, L"ab\u4E2Dcd", "", PathCharactersWarning},
        {z, L"C:\\\u0100", "", PathCharactersWarning}, // no best fit: not stored as "A"
    };
    const std::vector<PathCase> chinese = {
        {z, big5Shown, Field(big5)},
        {z, std::wstring(127, L'\u904A'), Field(you127)},
        {z, std::wstring(200, L'\u904A'), "", PathTooLongWarning},
        {z, L"\u00E9", "", PathCharactersWarning},
        {notBig5, std::nullopt, Field(notBig5)},
        {big5, std::nullopt, Field(big5), nullptr, big5Shown.c_str()},
        {cutLead, std::nullopt, cutLead},
    };
    ASSERT_TRUE(GetACP() == 1252 || GetACP() == 950) << GetACP();
    ExpectPathsSavedOrRefused(GetACP() == 950 ? chinese : western);
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
    LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return client.right - (type == BS_AUTOCHECKBOX ? GetSystemMetrics(SM_CXMENUCHECK) + 4
                           : type == BS_GROUPBOX   ? 16
                                                   : 6);
}

TEST_F(SettingsDialog, WithoutChineseFontsEveryCaptionIsEnglishAndFitsItsControl) {
    bool (*canShowChinese)() = gCanShowChinese;
    gCanShowChinese = [] { return false; };
    Open(Standard());
    gCanShowChinese = canShowChinese;
    wchar_t caption[64] = {};
    GetWindowTextW(dialog, caption, 64);
    EXPECT_STREQ(caption, L"Orvane Settings");
    int captions = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t windowClass[16] = {}, text[64] = {};
        GetClassNameW(child, windowClass, 16);
        int length = GetWindowTextW(child, text, 64);
        bool banner = (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP &&
                      lstrcmpiW(windowClass, L"Static") == 0;
        if (lstrcmpiW(windowClass, L"Edit") == 0 || length == 0 || banner)
            continue;
        ++captions;
        HDC dc = GetDC(child);
        HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text, length, &size);
        SelectObject(dc, previous);
        ReleaseDC(child, dc);
        std::string shown(text, text + length);
        EXPECT_TRUE(std::all_of(text, text + length, [](wchar_t c) { return c < 0x80; })) << shown;
        EXPECT_LE(size.cx, RoomForCaption(child)) << "control " << GetDlgCtrlID(child) << ": " << shown;
    }
    EXPECT_EQ(captions, 57 + 28) << "57 captions and the 28 marks of the default keys";
}

bool gWasInMenuMode = false;
bool gMenuModeLooked = false;

void CALLBACK LeaveMenuMode(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    gMenuModeLooked = true;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetCurrentThreadId(), &info);
    gWasInMenuMode = (info.flags & GUI_INMENUMODE) != 0;
    EndMenu();
}

// Alt or F10 alone, with no control focused as during a capture, must not put the window into menu
// mode: that would eat the next click or key.
TEST_F(SettingsDialog, AltAloneDoesNotEnterMenuMode) {
    Open(Standard());
    UINT_PTR timer = SetTimer(nullptr, 0, 300, LeaveMenuMode);
    SendMessageW(dialog, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (DWORD start = GetTickCount(); !gMenuModeLooked && GetTickCount() - start < 10000; Sleep(5))
        DrainMessages();
    KillTimer(nullptr, timer);
    EXPECT_TRUE(gMenuModeLooked) << "the timer never fired";
    EXPECT_FALSE(gWasInMenuMode);
}

} // namespace
