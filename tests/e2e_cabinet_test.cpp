// The real program set up for a cabinet: keys stored as the loader reads them, an input cleared from a
// capture button's menu, the live key test seen on the screen, panel keys that leave the dialog alone,
// and the dialog on a 640 x 480 screen with a taskbar.
#define DIRECTINPUT_VERSION 0x0800
#include "resources/resource.h"
#include "tests/e2e_support.h"

#include <dinput.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

class Cabinet : public ::testing::Test {
  protected:
    ScratchFolder folder;
};

// The loader's own view of the keyboard: a DirectInput keyboard of the test's, in the background.
IDirectInputDevice8W* OpenLoadersKeyboard() {
    HWND window =
        CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    IDirectInput8W* input = nullptr;
    IDirectInputDevice8W* keyboard = nullptr;
    if (FAILED(DirectInput8Create(GetModuleHandleW(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                  reinterpret_cast<void**>(&input), nullptr)) ||
        FAILED(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr)) ||
        FAILED(keyboard->SetDataFormat(&c_dfDIKeyboard)) ||
        FAILED(keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)) ||
        FAILED(keyboard->Acquire()))
        return nullptr;
    return keyboard;
}

std::vector<int> CodesDown(IDirectInputDevice8W* keyboard) {
    BYTE state[256] = {};
    keyboard->GetDeviceState(sizeof state, state);
    std::vector<int> down;
    for (int code = 0; code < 256; ++code)
        if (state[code] & 0x80)
            down.push_back(code);
    return down;
}

struct KeyPress {
    std::string what;
    DriverKey key;
    int code;
};

// The keys that a code worked out from the virtual key stored as another key, or as none. The pad
// sends the same scan codes with Num Lock on (its own virtual keys) and off (the navigation keys').
std::vector<KeyPress> KeysTheVirtualKeyMisnamed() {
    std::vector<KeyPress> keys = {
        {"right Ctrl", {VK_RCONTROL, 0x1D, true}, 0x9D}, {"right Shift", {VK_RSHIFT, 0x36, false}, 0x36},
        {"right Alt", {VK_RMENU, 0x38, true}, 0xB8},     {"pad Enter", {VK_RETURN, 0x1C, true}, 0x9C},
        {"left Windows", {VK_LWIN, 0x5B, true}, 0xDB},   {"right Windows", {VK_RWIN, 0x5C, true}, 0xDC},
        {"Menu", {VK_APPS, 0x5D, true}, 0xDD},           {"Print Screen", {VK_SNAPSHOT, 0x37, true}, 0xB7}};
    const WORD padScans[] = {0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49, 0x53};
    const WORD numLockOff[] = {VK_INSERT, VK_END,  VK_DOWN, VK_NEXT,  VK_LEFT,  VK_CLEAR,
                               VK_RIGHT,  VK_HOME, VK_UP,   VK_PRIOR, VK_DELETE};
    for (WORD pad = 0; pad < 11; ++pad) {
        std::string name = pad < 10 ? "pad " + std::to_string(pad) : "pad .";
        if (pad < 10)
            keys.push_back(
                {name + ", Num Lock on", {WORD(VK_NUMPAD0 + pad), padScans[pad], false}, padScans[pad]});
        keys.push_back({name + ", Num Lock off", {numLockOff[pad], padScans[pad], false}, padScans[pad]});
    }
    return keys;
}

// Each key, captured in turn on an input of the mahjong layout (then the system key), is stored as
// the number the loader reads for it, and named as the key pressed; the run prints both.
TEST_F(Cabinet, RightHandPadWindowsAndPrintScreenKeysAreStoredAsTheLoaderReadsThem) {
    const std::vector<KeyPress> keys = KeysTheVirtualKeyMisnamed();
    IDirectInputDevice8W* loadersKeyboard = OpenLoadersKeyboard();
    ASSERT_NE(loadersKeyboard, nullptr);
    Bytes file = BuildImageFromRules(MahjongLayout);
    Tool tool = StartOn(file);
    ASSERT_NE(tool.dialog, nullptr);
    auto keyByte = [](size_t input) {
        return input == MahjongKeyCount
                   ? TrailerPosition(MahjongFileSize, SystemKeyPart) + KeyCodeInDevicePart
                   : MahjongKeyOffsets[input] + KeyCodeInDevicePart;
    };
    std::vector<std::wstring> shown;
    for (size_t input = 0; input < keys.size(); ++input) {
        auto [what, key, code] = keys[input];
        int button = input == MahjongKeyCount ? IDC_SYSTEM_CAPTURE
                                              : IDC_MAHJONG_CAPTURE_FIRST + static_cast<int>(input);
        Click(tool.dialog, button);
        ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, button - 1000).size() == 2; }, ReactionLimitMs))
            << what;
        SendKey(key, true);
        Sleep(150); // a press held long enough for Wine's per-thread key state to pass it on
        WaitUntil([&] { return !CodesDown(loadersKeyboard).empty(); }, 5000);
        EXPECT_EQ(CodesDown(loadersKeyboard), std::vector<int>{code}) << what << ", as the loader reads it";
        SendKey(key, false);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(tool.dialog, button)) != FALSE; },
                              ReactionLimitMs));
        shown.push_back(Text(tool.dialog, button - 1000));
        EXPECT_EQ(shown.back(), PlatformKeyName((key.scanCode | (key.e0 ? 0x100 : 0)) << 16)) << what;
        file[keyByte(input)] = static_cast<uint8_t>(code);
    }
    loadersKeyboard->Release();
    EXPECT_EQ(ClickAndWaitForExit(tool, IDOK), 0);
    Bytes saved = ReadBytes(BindingsFileName);
    EXPECT_EQ(saved, file);
    for (size_t input = 0; input < keys.size() && saved.size() == file.size(); ++input)
        printf("%-20s stored 0x%02X, shown \"%ls\"\n", keys[input].what.c_str(), saved[keyByte(input)],
               shown[input].c_str());
}

TEST_F(Cabinet, ARightClickAndClearKeyLeaveTheInputWithNoKey) {
    Bytes image = BuildImageFromRules(StandardLayout);
    Tool tool = StartOn(image);
    ASSERT_NE(tool.dialog, nullptr);
    RECT button;
    GetWindowRect(GetDlgItem(tool.dialog, 3008), &button);
    ClickAt(button, 3);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(menu); },
                          ReactionLimitMs))
        << "no menu";
    RECT item;
    GetWindowRect(menu, &item); // its only item fills it
    ClickAt(item);
    EXPECT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2008).empty(); }, ReactionLimitMs));
    EXPECT_EQ(ClickAndWaitForExit(tool, IDOK), 0);
    Bytes expected = image;
    expected[StandardSlotByte(8)] = 0;
    EXPECT_EQ(ReadBytes(BindingsFileName), expected);
}

// Player 1 on MAME's defaults, which most keyboard encoders ship with: the arrows on the stick,
// LCtrl, LAlt, Space, LShift, Z and X on buttons 1-6, 1 on start and 5 on coin; Enter on the system key.
Bytes MamePanelFile() {
    Bytes file = BuildImageFromRules(StandardLayout);
    const uint8_t player1[] = {0xC8, 0xD0, 0xCB, 0xCD, 0x1D, 0x38, 0x39, 0x2A, 0x2C, 0x2D, 0x02, 0x06};
    for (size_t slot = 0; slot < sizeof player1; ++slot)
        file[StandardSlotByte(slot)] = player1[slot];
    file[TrailerPosition(StandardFileSize, SystemKeyPart) + KeyCodeInDevicePart] = 0x1C;
    return file;
}

bool AMenuIsOpen() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu);
}

// An owner tries the wiring: the stick, the buttons (2 and 3 together), start and coin.
TEST_F(Cabinet, PanelKeysAtRestPressNoButtonMoveNoFocusAndOpenNoMenu) {
    Bytes file = MamePanelFile();
    Tool tool = StartOn(file);
    ASSERT_NE(tool.dialog, nullptr);
    // A click gives the focus a known place once the dialog's activation has been handled.
    TypeOnDialog(L"");
    ASSERT_TRUE(ClickBoxAfterTyping(tool, IDC_LOW_RESOLUTION));
    HWND focus = FocusOf(tool.dialog);
    ASSERT_EQ(focus, GetDlgItem(tool.dialog, IDC_LOW_RESOLUTION));
    std::wstring typing;
    for (const wchar_t* key : {L"Down", L"Down", L"Right", L"space", L"Return"})
        typing += L" keydown " + std::wstring(key) + L" sleep 0.08 keyup " + key + L" sleep 0.15";
    typing +=
        L" keydown Alt_L sleep 0.05 keydown space sleep 0.08 keyup space sleep 0.05 keyup Alt_L sleep 0.15";
    for (const wchar_t* key : {L"z", L"1", L"5"})
        typing += L" keydown " + std::wstring(key) + L" sleep 0.08 keyup " + key + L" sleep 0.15";
    TypeOnDialog(typing);
    EXPECT_EQ(TabAfterTyping(tool), GetNextDlgTabItem(tool.dialog, focus, FALSE))
        << "the panel moved the focus";
    EXPECT_EQ(WaitForSingleObject(tool.process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the tool ended";
    EXPECT_TRUE(IsWindowVisible(tool.dialog));
    EXPECT_EQ(GetForegroundWindow(), tool.dialog);
    EXPECT_FALSE(AMenuIsOpen());
    for (int box : {IDC_MAHJONG_GAME, IDC_FOUR_WAY, IDC_SQUARE, IDC_LOW_RESOLUTION})
        EXPECT_EQ(Checked(tool.dialog, box), box == IDC_LOW_RESOLUTION) << "option " << box;
    EXPECT_EQ(Text(tool.dialog, IDC_DRIVER_PATH), L"");
    EXPECT_EQ(ReadBytes(BindingsFileName), file);
    EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), file);
}

void HoldA(bool down) {
    RunUnix(down ? L"/usr/bin/xdotool keydown a" : L"/usr/bin/xdotool keyup a");
}

void HoldRightCtrl(bool down) {
    SendKey({VK_RCONTROL, 0x1D, true}, down);
}

// How many pixels holding a key changes in each of the fields and outside them, while `active` is in
// front. Where the key lights fields, the picture while it is held is the first that differs.
std::vector<int> ChangedByHolding(void (*hold)(bool down), const Tool& tool, const std::vector<int>& fields,
                                  HWND active) {
    SetForegroundWindow(active);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == active; }, 5000));
    const bool lights = active == tool.dialog;
    auto any = [](const Picture&) { return true; };
    RECT place;
    GetWindowRect(tool.dialog, &place);
    Picture before = SettledPicture(place, any);
    hold(true);
    if (!lights)
        Sleep(300); // a key held as a person holds it; nothing should light
    Picture held = lights ? SettledPicture(place, [&](const Picture& now) { return now != before; })
                          : SettledPicture(place, any);
    hold(false);
    SettledPicture(place, [&](const Picture& now) { return now == before; }); // the fields go dark again
    std::vector<RECT> rects(fields.size());
    for (size_t f = 0; f < fields.size(); ++f) {
        GetWindowRect(GetDlgItem(tool.dialog, fields[f]), &rects[f]);
        OffsetRect(&rects[f], -place.left, -place.top);
    }
    std::vector<int> changed(fields.size() + 1, 0); // the last: outside every field
    for (size_t i = 0; i < held.size(); ++i) {
        int width = place.right - place.left;
        POINT at = {static_cast<LONG>(i % width), static_cast<LONG>(i / width)};
        size_t where = 0;
        while (where < rects.size() && !PtInRect(&rects[where], at))
            ++where;
        changed[where] += held[i] != before[i];
    }
    return changed;
}

// Two inputs and the exit key share A: holding it changes most of the picture in their three fields
// and nothing outside them, and nothing at all while another program is in front. Holding right Ctrl
// lights its input's field and not that of left Ctrl's input.
TEST_F(Cabinet, HoldingAKeyLightsTheFieldsOfItsInputsOnlyWhileTheDialogIsInFront) {
    Bytes file = BuildImageFromRules(StandardLayout);
    const uint8_t a = 0x1E;
    file[StandardSlotByte(3)] = file[StandardSlotByte(20)] = a;
    file[TrailerPosition(StandardFileSize, ExitKeyPart) + KeyCodeInDevicePart] = a;
    file[StandardSlotByte(5)] = 0x9D;
    file[StandardSlotByte(6)] = 0x1D;
    Tool tool = StartOn(file);
    ASSERT_NE(tool.dialog, nullptr);
    const std::pair<void (*)(bool), std::vector<int>> holds[] = {{HoldA, {2003, 2020, IDC_EXIT_KEY}},
                                                                 {HoldRightCtrl, {2005}}};
    for (const auto& [hold, fields] : holds) {
        std::vector<int> changed = ChangedByHolding(hold, tool, fields, tool.dialog);
        EXPECT_EQ(changed.back(), 0) << "outside the fields of " << fields[0];
        for (size_t f = 0; f < fields.size(); ++f) {
            RECT rect;
            GetClientRect(GetDlgItem(tool.dialog, fields[f]), &rect);
            EXPECT_GT(changed[f], rect.right * rect.bottom / 2) << "field " << fields[f] << " is not lit";
        }
    }
    const std::vector<int> fields = holds[0].second;
    HWND other = CreateWindowExW(0, L"Static", L"another program", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0,
                                 100, 60, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(ChangedByHolding(HoldA, tool, fields, other), std::vector<int>(fields.size() + 1, 0));
    DestroyWindow(other);
    EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), file);
}

// Run in a session of a 640 x 480 screen whose work area is ORVANE_WORK_AREA_HEIGHT pixels high.
class SmallScreen : public Cabinet {};

BOOL CALLBACK CollectControl(HWND control, LPARAM controls) {
    if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP || IsWindowVisible(control))
        reinterpret_cast<std::vector<HWND>*>(controls)->push_back(control);
    return TRUE;
}

// Both layouts' sets, shown or hidden, and the controls they share; the banner is left out.
TEST_F(SmallScreen, EveryControlOfBothLayoutsLiesInsideTheWorkArea) {
    const char* expectedHeight = getenv("ORVANE_WORK_AREA_HEIGHT");
    ASSERT_NE(expectedHeight, nullptr) << "run in a small screen's session";
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ASSERT_EQ(work.bottom - work.top, atoi(expectedHeight));
    Tool tool = StartOn(BuildImageFromRules(StandardLayout));
    ASSERT_NE(tool.dialog, nullptr);
    std::vector<HWND> controls;
    EnumChildWindows(tool.dialog, CollectControl, reinterpret_cast<LPARAM>(&controls));
    EXPECT_GT(controls.size(), 150u);
    RECT window, ok;
    GetWindowRect(tool.dialog, &window);
    GetWindowRect(GetDlgItem(tool.dialog, IDOK), &ok);
    printf("At 640 x 480 with a work area %ld px high: window %ld x %ld at (%ld, %ld); OK at x %ld-%ld, y "
           "%ld-%ld\n",
           work.bottom - work.top, window.right - window.left, window.bottom - window.top, window.left,
           window.top, ok.left, ok.right, ok.top, ok.bottom);
    EXPECT_GE(window.top, work.top) << "the title bar can be grabbed";
    for (HWND control : controls) {
        RECT rect;
        GetWindowRect(control, &rect);
        EXPECT_TRUE(rect.left >= work.left && rect.top >= work.top && rect.right <= work.right &&
                    rect.bottom <= work.bottom)
            << "control " << GetDlgCtrlID(control) << " at " << rect.left << "," << rect.top << "-"
            << rect.right << "," << rect.bottom;
    }
    RECT frame, field, both;
    GetWindowRect(GetDlgItem(tool.dialog, IDC_MAHJONG_FRAME), &frame);
    for (int id = IDC_MAHJONG_KEY_FIRST; id < IDC_MAHJONG_KEY_FIRST + 28; ++id) {
        GetWindowRect(GetDlgItem(tool.dialog, id), &field);
        UnionRect(&both, &frame, &field);
        EXPECT_TRUE(EqualRect(&both, &frame)) << "the mahjong frame holds field " << id;
    }
    EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
}

} // namespace
