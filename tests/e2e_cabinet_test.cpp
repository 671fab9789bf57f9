// The real program set up for a cabinet: an input cleared from a capture button's menu, the live key
// test seen on the screen, panel keys that leave the dialog alone, and the dialog on a 640 x 480
// screen with a taskbar.
#include "resources/resource.h"
#include "tests/e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

class Cabinet : public ::testing::Test {
  protected:
    ScratchFolder folder;
};

TEST_F(Cabinet, ARightClickAndClearKeyLeaveTheInputWithNoKey) {
    Bytes image = BuildImageFromRules(StandardLayout);
    Tool tool = StartOn(image);
    ASSERT_NE(tool.dialog, nullptr);
    RECT button;
    GetWindowRect(GetDlgItem(tool.dialog, 3008), &button);
    ClickAt(button, 3);
    HWND menu = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (menu = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(menu); }, 3000))
        << "no menu";
    RECT item;
    GetWindowRect(menu, &item); // its only item fills it
    ClickAt(item);
    EXPECT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2008).empty(); }, 3000));
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

bool Checked(HWND dialog, int id) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return state == BST_CHECKED;
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
    TypeOnDialog(L"sleep 0.2");
    HWND focus = FocusOf(tool.dialog);
    std::wstring typing;
    for (const wchar_t* key : {L"Down", L"Down", L"Right", L"space", L"Return"})
        typing += L" keydown " + std::wstring(key) + L" sleep 0.08 keyup " + key + L" sleep 0.15";
    typing +=
        L" keydown Alt_L sleep 0.05 keydown space sleep 0.08 keyup space sleep 0.05 keyup Alt_L sleep 0.15";
    for (const wchar_t* key : {L"z", L"1", L"5"})
        typing += L" keydown " + std::wstring(key) + L" sleep 0.08 keyup " + key + L" sleep 0.15";
    TypeOnDialog(typing + L" sleep 0.3");
    EXPECT_EQ(WaitForSingleObject(tool.process.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the tool ended";
    EXPECT_TRUE(IsWindowVisible(tool.dialog));
    EXPECT_EQ(GetForegroundWindow(), tool.dialog);
    EXPECT_EQ(FocusOf(tool.dialog), focus);
    EXPECT_FALSE(AMenuIsOpen());
    for (int box : {IDC_MAHJONG_GAME, IDC_FOUR_WAY, IDC_SQUARE, IDC_LOW_RESOLUTION})
        EXPECT_FALSE(Checked(tool.dialog, box)) << "option " << box;
    EXPECT_EQ(Text(tool.dialog, IDC_DRIVER_PATH), L"");
    EXPECT_EQ(ReadBytes(BindingsFileName), file);
    EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), file);
}

// The pixels of the screen, top-down, 32 bits each.
std::vector<uint32_t> Screenshot(const RECT& place) {
    int width = place.right - place.left, height = place.bottom - place.top;
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, place.left, place.top, SRCCOPY);
    SelectObject(memory, previous);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// How many pixels holding A changes in each of the fields and outside them, while `active` is in
// front.
std::vector<int> ChangedByHoldingA(const Tool& tool, const std::vector<int>& fields, HWND active) {
    SetForegroundWindow(active);
    RunUnix(L"/usr/bin/xdotool sleep 0.3");
    RECT place;
    GetWindowRect(tool.dialog, &place);
    std::vector<uint32_t> before = Screenshot(place);
    RunUnix(L"/usr/bin/xdotool keydown a sleep 0.3");
    std::vector<uint32_t> held = Screenshot(place);
    RunUnix(L"/usr/bin/xdotool keyup a sleep 0.2");
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
// and nothing outside them, and nothing at all while another program is in front.
TEST_F(Cabinet, HoldingAKeyLightsTheFieldsOfItsInputsOnlyWhileTheDialogIsInFront) {
    Bytes file = BuildImageFromRules(StandardLayout);
    auto a = static_cast<uint8_t>(MapVirtualKeyW('A', 0));
    file[StandardSlotByte(3)] = file[StandardSlotByte(20)] = a;
    file[TrailerPosition(StandardFileSize, ExitKeyPart) + KeyCodeInDevicePart] = a;
    Tool tool = StartOn(file);
    ASSERT_NE(tool.dialog, nullptr);
    const std::vector<int> fields = {2003, 2020, IDC_EXIT_KEY};
    std::vector<int> changed = ChangedByHoldingA(tool, fields, tool.dialog);
    EXPECT_EQ(changed.back(), 0);
    for (size_t f = 0; f < fields.size(); ++f) {
        RECT rect;
        GetClientRect(GetDlgItem(tool.dialog, fields[f]), &rect);
        EXPECT_GT(changed[f], rect.right * rect.bottom / 2) << "field " << fields[f] << " is not lit";
    }
    HWND other = CreateWindowExW(0, L"Static", L"another program", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0,
                                 100, 60, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(ChangedByHoldingA(tool, fields, other), std::vector<int>(fields.size() + 1, 0));
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
