// The dialog procedure, driven in-process with messages, real keys and real clicks.
#include "dialog/captures_win.h"
#include "dialog/dialog_template_win.h"
#include "dialog/settings_dialog_win.h"
#include "keys/held_keys.h"
#include "keys/key_capture.h"
#include "keys/keyboard_win.h"
#include "resources/resource.h"
#include "settings/layout_inputs.h"
#include "settings/settings.h"
#include "settings/settings_win.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <random>
#include <span>
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

// A mouse event at a screen point.
INPUT MouseAt(POINT at, DWORD flags) {
    INPUT mouse = {INPUT_MOUSE, {}};
    mouse.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    mouse.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    mouse.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return mouse;
}

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
                bool timer = message.message == WM_TIMER && message.hwnd == dialog;
                timers += timer;
                captureTimersAtRest += timer && message.wParam == CaptureTimerId && !AnyCaptureRuns();
                buttonsLetGo += message.message == WM_LBUTTONUP || message.message == WM_RBUTTONUP;
                HandleThreadMessage(dialog, message);
            }
        }
        return timers;
    }

    // A key or the left mouse button held as a person holds it, 150 ms, while the dialog runs.
    void Hold(INPUT input, DWORD up, DWORD holdMs = 150) {
        SendInput(1, &input, sizeof input);
        RunDialogUntil([] { return false; }, holdMs);
        input.type == INPUT_KEYBOARD ? input.ki.dwFlags |= up : input.mi.dwFlags = up;
        SendInput(1, &input, sizeof input);
    }
    void HoldKey(WORD virtualKey, WORD scan) {
        INPUT key = {INPUT_KEYBOARD, {}};
        key.ki = {virtualKey, scan, 0, 0, 0};
        Hold(key, KEYEVENTF_KEYUP);
    }

    // `presses` presses of a mouse button, each held `holdMs`, `gapMs` apart, until the last is handled.
    void PressMouse(POINT at, DWORD down, DWORD up, DWORD holdMs = 150, int presses = 1, DWORD gapMs = 0) {
        INPUT mouse = MouseAt(at, MOUSEEVENTF_MOVE);
        SendInput(1, &mouse, sizeof mouse);
        mouse.mi.dwFlags = down | MOUSEEVENTF_ABSOLUTE;
        int letGo = buttonsLetGo + presses;
        for (int press = 0; press < presses; ++press) {
            RunDialogUntil([] { return false; }, press == 0 ? 0 : gapMs);
            Hold(mouse, up | MOUSEEVENTF_ABSOLUTE, holdMs);
        }
        RunDialogUntil([&] { return buttonsLetGo >= letGo; }, 5000);
    }
    POINT Middle(int id) const {
        RECT rect;
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    static constexpr WPARAM CaptureTimerId = 1;
    ScratchFolder folder;
    HWND dialog = nullptr;
    BOOL beepBefore = TRUE;
    int captureTimersAtRest = 0;
    int buttonsLetGo = 0;
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

// OK saves the changed option and path, Cancel and close nothing; each ends the message loop. The beep
// is off while the dialog is up and as the user had it after: set as Control Panel sets it, in the
// profile too, which the copy that gives it back reads (a killed copy leaves the live setting off).
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

// The beep given back is the profile's "yes" or "no", in any case, and otherwise (a value Control Panel
// never writes) the beep as the dialog found it.
TEST_F(SettingsDialog, TheBeepGivenBackIsTheProfilesYesOrNoElseAsTheDialogFoundIt) {
    const std::tuple<const wchar_t*, BOOL, BOOL> cases[] = {// profile, found, given back
                                                            {L"yes", FALSE, TRUE},
                                                            {L"NO", TRUE, FALSE},
                                                            {L"", FALSE, FALSE},
                                                            {L"maybe", TRUE, TRUE}};
    HKEY sound = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Sound", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &sound,
                    nullptr);
    for (auto [profile, found, givenBack] : cases) {
        RegSetValueExW(sound, L"Beep", 0, REG_SZ, reinterpret_cast<const BYTE*>(profile),
                       static_cast<DWORD>((lstrlenW(profile) + 1) * sizeof(wchar_t)));
        SystemParametersInfoW(SPI_SETBEEP, found, nullptr, 0);
        Open(Standard());
        Close();
        RestoreSessionBeep();
        BOOL after = !givenBack;
        SystemParametersInfoW(SPI_GETBEEP, 0, &after, 0);
        EXPECT_EQ(after, givenBack) << "profile \"" << profile << "\", found " << found;
    }
    RegCloseKey(sound);
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

// Off while the dialog is active, back as they were when it last became active once it is not, or
// ends. Sticky Keys is switched on in between, as by its own shortcut; a second activation with none
// lost between keeps what the first saved. Where every call fails, as on Wine, nothing changes.
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

// From another thread while the dialog's thread is in a message box: Q held 100 ms (as Wine needs),
// then, once the key field shows Q's name or after a limit, the box closed.
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
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    // In front with the focus on its button, where the keys reach DirectInput (Wine 10 hands it none
    // while no window of the program has the focus).
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(20)) {
        box = FindWindowW(L"#32770", BoxCaption);
        if (box && GetForegroundWindow() == box &&
            GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info) && IsChild(box, info.hwndFocus))
            break;
    }
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

// A real click on Down's button while Up's capture runs ends it with nothing stored and starts Down's,
// which reads Q (the dialog keeps the focus, or Wine 10 hands DirectInput no key); then Tab reaches
// OK and Enter presses it.
TEST_F(SettingsDialog, AClickIsNoKeyAndAfterACaptureTabMovesTheFocusAndEnterPressesOk) {
    OpenInFront();
    Click(3000);
    PressMouse(Middle(3001), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
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

// A person's walk through the dialog: a seeded random order of clicks and double clicks, keys and
// rolls, the sequence, 清除按鍵, the layout switch and another program in front, then OK, Cancel or
// Enter. ORVANE_WALK_SEED=N replays a walk.
struct WalkKey {
    WORD virtualKey;
    WORD scan;
    bool e0;
    KeyCode Code() const { return static_cast<KeyCode>(scan | (e0 ? 0x80 : 0)); }
};
const WalkKey WalkKeys[] = {{'A', 0x1E, false},        {'B', 0x30, false},      {'Q', 0x10, false},
                            {'Z', 0x2C, false},        {VK_UP, 0x48, true},     {VK_RIGHT, 0x4D, true},
                            {VK_TAB, 0x0F, false},     {VK_SPACE, 0x39, false}, {VK_RETURN, 0x1C, false},
                            {VK_RCONTROL, 0x1D, true}, {VK_RETURN, 0x1C, true}};
// Typed only into the other program: no input may ever take it.
const WalkKey OtherProgramKey = {'X', 0x2D, false};

enum WalkAction {
    ClickCapture,
    DoubleClickCapture,
    ClickAssignAll,
    DoubleClickAssignAll,
    ClickSkip,
    PressKey,
    Roll,
    ClearKey,
    SwitchLayout,
    ClickBesideOk,
    OtherProgram,
    WalkActions
};
const char* const WalkActionNames[] = {"click a capture button",
                                       "double-click a capture button",
                                       "click 依序設定",
                                       "double-click 依序設定",
                                       "click 跳過",
                                       "press a key",
                                       "roll two keys",
                                       "清除按鍵",
                                       "switch the layout",
                                       "click beside OK",
                                       "type into another program"};

DWORD WINAPI ClickTheMenuItem(void*) {
    HWND menu = nullptr;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(20))
        if ((menu = FindWindowW(L"#32768", nullptr)) != nullptr && IsWindowVisible(menu))
            break;
    if (menu == nullptr || !IsWindowVisible(menu))
        return 0;
    RECT item;
    GetWindowRect(menu, &item); // its only item fills it
    for (DWORD flags : {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT mouse = MouseAt({(item.left + item.right) / 2, (item.top + item.bottom) / 2}, flags);
        SendInput(1, &mouse, sizeof mouse);
        Sleep(100);
    }
    return 1;
}

class DialogWalk : public SettingsDialog {
  protected:
    void SetUp() override {
        SettingsDialog::SetUp();
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        wchar_t notepad[] = L"notepad.exe";
        ASSERT_TRUE(
            CreateProcessW(nullptr, notepad, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &other));
        WaitForInputIdle(other.hProcess, 20000);
        for (DWORD start = GetTickCount(); !otherWindow && GetTickCount() - start < 20000; Sleep(50))
            otherWindow = FindWindowW(L"Notepad", nullptr);
        ASSERT_NE(otherWindow, nullptr) << "the other program's window did not come up";
        // In a corner, clear of the dialog: with no window manager, the front window is not raised.
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        MoveWindow(otherWindow, width - 200, height - 150, 200, 150, TRUE);
    }
    void TearDown() override {
        TerminateProcess(other.hProcess, 0);
        WaitForSingleObject(other.hProcess, 10000);
        CloseHandle(other.hProcess);
        CloseHandle(other.hThread);
        SettingsDialog::TearDown();
    }

    int Random(int below) { return static_cast<int>(rng() % static_cast<unsigned>(below)); }
    DWORD PersonsHold() { return 60 + static_cast<DWORD>(Random(91)); }
    void Pause(DWORD ms) {
        RunDialogUntil([] { return false; }, ms);
    }
    bool InFront() const { return GetForegroundWindow() == dialog; }
    // Waits for `wanted` a while; a person's pace at most, far more under emulation.
    template <typename Done> bool Awaits(Done done) {
        RunDialogUntil(done, 5000);
        return done();
    }

    void Front(HWND window) {
        SetForegroundWindow(window);
        RunDialogUntil([&] { return GetForegroundWindow() == window; }, 5000);
    }

    // Every input of both layouts: what it holds, and what may change it.
    struct Watched {
        const LayoutInput* input;
        KeyCode key;
        std::vector<KeyCode> mayTake; // keys that went down while its capture ran, in front
        bool mayClear;                // 清除按鍵 or 跳過 on it
        bool filled;                  // its field has shown a key
    };
    void WatchInputs() {
        watched.clear();
        for (LayoutKind layout : {StandardLayout, MahjongLayout})
            for (const LayoutInput& input : InputsOf(layout))
                if (layout == StandardLayout || input.captureButton < IDC_SYSTEM_CAPTURE)
                    watched.push_back(
                        {&input, KeyOf(gSettings, input), {}, false, !Text(input.keyField).empty()});
    }
    Watched& WatchedOf(int button) {
        for (Watched& w : watched)
            if (w.input->captureButton == button)
                return w;
        return watched.front();
    }
    bool CountsDown(const Watched& w) const {
        std::wstring text = Text(w.input->keyField);
        return !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
    }
    // A key going down may go to the inputs whose capture runs, while the dialog is in front.
    void MayTake(KeyCode key) {
        if (!InFront())
            return;
        for (Watched& w : watched)
            if (SingleCaptureRuns(w.input->captureButton) || (SequenceRuns() && IsCurrent(w)))
                w.mayTake.push_back(key);
    }
    bool IsCurrent(const Watched& w) const { return InputOfButton(CurrentLayout(), w.input->captureButton); }
    int RandomCurrentButton() {
        std::span<const LayoutInput> inputs = CurrentInputs();
        return inputs[static_cast<size_t>(Random(static_cast<int>(inputs.size())))].captureButton;
    }

    void SendWalkKey(const WalkKey& key, DWORD flags) {
        SendKey(key.virtualKey, key.scan, flags | (key.e0 ? KEYEVENTF_EXTENDEDKEY : 0));
    }
    // Whether the key, pressed now, presses OK (true) or Cancel (false) and ends the dialog.
    std::optional<bool> Ends(const WalkKey& key) const {
        HWND focus = GetFocus();
        bool typing = focus == GetDlgItem(dialog, IDC_DRIVER_PATH);
        if (AnyCaptureRuns() || !InFront() || (!typing && IsPanelKey(key.Code(), CurrentInputCodes())))
            return std::nullopt;
        if (key.virtualKey == VK_RETURN)
            return focus != GetDlgItem(dialog, IDCANCEL);
        if (key.virtualKey == VK_SPACE &&
            (focus == GetDlgItem(dialog, IDOK) || focus == GetDlgItem(dialog, IDCANCEL)))
            return focus == GetDlgItem(dialog, IDOK);
        return std::nullopt;
    }
    // Space on a capture button or 依序設定 presses it, as a click does.
    int PressedBySpace(const WalkKey& key) const {
        HWND focus = GetFocus();
        if (key.virtualKey != VK_SPACE || AnyCaptureRuns() || !InFront() ||
            IsPanelKey(key.Code(), CurrentInputCodes()) || !IsWindowEnabled(focus))
            return 0;
        int id = GetDlgCtrlID(focus);
        return InputOfButton(CurrentLayout(), id) || id == IDC_ASSIGN_ALL ? id : 0;
    }

    // Two clicks on one spot within the double-click time are a double click: a single click comes
    // after it.
    void ClickButton(int id, bool twice) {
        DWORD sinceLast = GetTickCount() - lastClick.second;
        if (lastClick.first == id && sinceLast <= GetDoubleClickTime())
            Pause(GetDoubleClickTime() + 50 - sinceLast);
        PressMouse(Middle(id), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, PersonsHold(), twice ? 2 : 1,
                   30 + static_cast<DWORD>(Random(50)));
        lastClick = {id, GetTickCount()};
    }

    // Returns how the dialog ended, if it did: saved (true) or not (false).
    std::optional<bool> Act(WalkAction action, std::string& what) {
        what = WalkActionNames[action];
        switch (action) {
        case ClickCapture:
        case DoubleClickCapture: {
            int button = RandomCurrentButton();
            what += " " + std::to_string(button);
            bool enabled = IsWindowEnabled(GetDlgItem(dialog, button));
            ClickButton(button, action == DoubleClickCapture);
            if (enabled) {
                EXPECT_TRUE(Awaits([&] { return SingleCaptureRuns(button); })) << "its capture does not run";
            }
            break;
        }
        case ClickAssignAll:
        case DoubleClickAssignAll: {
            bool ran = SequenceRuns();
            ClickButton(IDC_ASSIGN_ALL, action == DoubleClickAssignAll);
            EXPECT_TRUE(Awaits([&] { return SequenceRuns() != ran; }))
                << (ran ? "not stopped" : "not started");
            break;
        }
        case ClickSkip:
            if (!IsWindowEnabled(GetDlgItem(dialog, IDC_SKIP)))
                return std::nullopt;
            for (Watched& w : watched)
                w.mayClear |= CountsDown(w) && IsCurrent(w);
            ClickButton(IDC_SKIP, false);
            break;
        case PressKey: {
            // Enter most often: a person finishes with it.
            const WalkKey& key = WalkKeys[Random(3) == 0 ? 8 : Random(std::size(WalkKeys))];
            what += " " + std::to_string(key.Code());
            std::optional<bool> ends = Ends(key);
            int pressed = PressedBySpace(key);
            MayTake(key.Code());
            SendWalkKey(key, 0);
            Pause(PersonsHold());
            SendWalkKey(key, KEYEVENTF_KEYUP);
            if (ends) {
                EXPECT_TRUE(Awaits([&] { return !IsWindow(dialog); })) << "the dialog did not close";
                return ends;
            }
            if (pressed == IDC_ASSIGN_ALL) {
                EXPECT_TRUE(Awaits([] { return SequenceRuns(); })) << "Space did not start the sequence";
            } else if (pressed != 0) {
                EXPECT_TRUE(Awaits([&] { return SingleCaptureRuns(pressed); })) << "Space started no capture";
            }
            Pause(100);
            break;
        }
        case Roll: {
            const WalkKey &first = WalkKeys[Random(4)], &second = WalkKeys[Random(4)];
            MayTake(first.Code());
            SendWalkKey(first, 0);
            Pause(20 + static_cast<DWORD>(Random(60)));
            MayTake(second.Code());
            SendWalkKey(second, 0);
            Pause(PersonsHold());
            SendWalkKey(first, KEYEVENTF_KEYUP);
            SendWalkKey(second, KEYEVENTF_KEYUP);
            Pause(100);
            break;
        }
        case ClearKey: { // the menu opens on a button whose capture does not run, while no sequence runs
            int button = RandomCurrentButton();
            what += " " + std::to_string(button);
            bool menu = !SequenceRuns() && !SingleCaptureRuns(button);
            HANDLE clicker = menu ? CreateThread(nullptr, 0, ClickTheMenuItem, nullptr, 0, nullptr) : nullptr;
            WatchedOf(button).mayClear |= menu;
            PressMouse(Middle(button), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, PersonsHold());
            if (clicker != nullptr) {
                RunDialogUntil([&] { return WaitForSingleObject(clicker, 0) == WAIT_OBJECT_0; }, 30000);
                CloseHandle(clicker);
                EXPECT_EQ(KeyOf(gSettings, *WatchedOf(button).input), NoKey) << "清除按鍵 left a key";
            }
            break;
        }
        case SwitchLayout:
            if (!IsWindowEnabled(GetDlgItem(dialog, IDC_MAHJONG_GAME)))
                return std::nullopt;
            ClickButton(IDC_MAHJONG_GAME, false);
            EXPECT_FALSE(AnyCaptureRuns());
            break;
        case ClickBesideOk: {
            const int beside[] = {IDC_FOUR_WAY, IDC_SQUARE, IDC_LOW_RESOLUTION, IDC_STANDARD_LABEL_FIRST};
            RECT ok;
            GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
            POINT left = {ok.left - 3, (ok.top + ok.bottom) / 2},
                  above = {(ok.left + ok.right) / 2, ok.top - 3};
            int pick = Random(6);
            POINT at = pick < 4 ? Middle(beside[pick]) : pick == 4 ? left : above;
            PressMouse(at, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, PersonsHold());
            EXPECT_FALSE(AnyCaptureRuns() && !SequenceRuns()) << "a click beside OK left a capture running";
            break;
        }
        case OtherProgram:
            Front(otherWindow);
            EXPECT_TRUE(Awaits([] { return !AnyCaptureRuns(); }))
                << "a capture runs with another program in front";
            SendWalkKey(OtherProgramKey, 0);
            Pause(PersonsHold());
            SendWalkKey(OtherProgramKey, KEYEVENTF_KEYUP);
            Pause(100);
            Front(dialog);
            EXPECT_TRUE(InFront()) << "the dialog did not come back to the front";
            break;
        default:
            break;
        }
        return std::nullopt;
    }

    // What must hold after every action.
    void CheckAfter(const std::string& what) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(IsWindow(dialog)) << "the dialog closed";
        for (Watched& w : watched) {
            KeyCode now = KeyOf(gSettings, *w.input);
            if (now != w.key) {
                bool allowed = (now == NoKey && w.mayClear) ||
                               std::find(w.mayTake.begin(), w.mayTake.end(), now) != w.mayTake.end();
                EXPECT_TRUE(allowed) << "input " << w.input->captureButton << " changed from " << int(w.key)
                                     << " to " << int(now);
                w = {w.input, now, {}, false, w.filled};
            }
            if (!IsCurrent(w))
                continue;
            std::wstring text = Text(w.input->keyField);
            w.filled |= !text.empty();
            bool countsDown = CountsDown(w) && (SingleCaptureRuns(w.input->captureButton) || SequenceRuns());
            bool showsItsKey =
                text == (now == NoKey ? L"" : PlatformKeyName(KeyNameParameter(NameScanFromCode(now))));
            EXPECT_TRUE(countsDown || showsItsKey || (!w.filled && text.empty()))
                << "field " << w.input->keyField << " shows \"" << std::string(text.begin(), text.end())
                << "\"";
        }
        EXPECT_EQ(captureTimersAtRest, 0) << "the capture's timer ran with no capture";
        captureTimersAtRest = 0;
        HWND focus = GetFocus();
        if (InFront()) {
            EXPECT_TRUE(focus == dialog || IsChild(dialog, focus)) << "no focus in the active dialog";
        }
    }

    // One walk, from a new dialog to its end; returns the number of actions taken.
    int Walk(int actionsLeft) {
        Bytes file = Standard();
        OpenInFront();
        WatchInputs();
        std::optional<bool> saved;
        int taken = 0;
        for (; !saved && taken < actionsLeft && !HasFailure(); ++taken) {
            std::string what;
            WalkAction action = static_cast<WalkAction>(Random(WalkActions));
            printf("    %s\n", WalkActionNames[action]);
            saved = Act(action, what);
            if (!saved)
                CheckAfter(what);
            else
                printf("    %s ended the walk: %s\n", what.c_str(), *saved ? "saved" : "not saved");
        }
        if (!saved && IsWindow(dialog)) {
            saved = Random(2) == 0;
            ClickButton(*saved ? IDOK : IDCANCEL, false);
            EXPECT_TRUE(Awaits([&] { return !IsWindow(dialog); })) << "OK or Cancel did not close the dialog";
        }
        Bytes now = ReadBytes(BindingsFileName);
        if (!*saved) {
            EXPECT_EQ(now, file) << "Cancel changed the file";
            return taken;
        }
        for (const LayoutInput& input : CurrentInputs())
            EXPECT_EQ(now[KeyPosition(input, static_cast<uint32_t>(now.size()))],
                      WatchedOf(input.captureButton).key)
                << "input " << input.captureButton;
        return taken;
    }
    std::mt19937 rng;
    std::pair<int, DWORD> lastClick = {0, 0};
    PROCESS_INFORMATION other = {};
    HWND otherWindow = nullptr;
    std::vector<Watched> watched;
};

TEST_F(DialogWalk, APersonsHandsInAnyOrderChangeOnlyWhatTheyMeant) {
    const char* fixed = getenv("ORVANE_WALK_SEED");
    unsigned seed = fixed ? static_cast<unsigned>(strtoul(fixed, nullptr, 10)) : GetTickCount();
    printf("walk seed %u (ORVANE_WALK_SEED=%u replays it)\n", seed, seed);
    rng.seed(seed);
    for (int left = 200; left > 0 && !HasFailure();) {
        left -= Walk(left);
        Close();
    }
}

} // namespace
