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

TEST_F(Cabinet, SpaceAndEnterLandOnTheirInputsAndPressNoButton) {
    Tool tool = StartOn(BuildImageFromRules(StandardLayout));
    ASSERT_NE(tool.dialog, nullptr);
    Capture(tool, 3000, L"space");
    Capture(tool, 3001, L"Return");
    EXPECT_TRUE(IsWindowVisible(tool.dialog));
    EXPECT_EQ(Text(tool.dialog, 2000), PlatformKeyName(0x00390000));
    EXPECT_EQ(Text(tool.dialog, 2001), PlatformKeyName(0x001C0000));
    EXPECT_EQ(ClickAndWaitForExit(tool, IDOK), 0);
    Bytes expected = BuildImageFromRules(StandardLayout);
    expected[StandardSlotByte(0)] = 0x39;
    expected[StandardSlotByte(1)] = 0x1C;
    EXPECT_EQ(ReadBytes(BindingsFileName), expected);
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

// A pair of inputs shares A: holding it changes most of the picture in their two fields and
// nothing outside them.
TEST_F(Cabinet, HoldingAKeyLightsTheFieldsOfItsInputsAndChangesNothingElse) {
    Bytes file = BuildImageFromRules(StandardLayout);
    file[StandardSlotByte(3)] = file[StandardSlotByte(20)] = static_cast<uint8_t>(MapVirtualKeyW('A', 0));
    Tool tool = StartOn(file);
    ASSERT_NE(tool.dialog, nullptr);
    TypeOnDialog(L"sleep 0.3");
    RECT place, fields[2];
    GetWindowRect(tool.dialog, &place);
    std::vector<uint32_t> before = Screenshot(place);
    TypeOnDialog(L"keydown a sleep 0.3");
    std::vector<uint32_t> held = Screenshot(place);
    TypeOnDialog(L"keyup a");
    int changed[3] = {}; // in each field, outside
    for (int f = 0; f < 2; ++f) {
        GetWindowRect(GetDlgItem(tool.dialog, f == 0 ? 2003 : 2020), &fields[f]);
        OffsetRect(&fields[f], -place.left, -place.top);
    }
    for (size_t i = 0; i < held.size(); ++i) {
        POINT at = {static_cast<LONG>(i % (place.right - place.left)),
                    static_cast<LONG>(i / (place.right - place.left))};
        int where = PtInRect(&fields[0], at) ? 0 : PtInRect(&fields[1], at) ? 1 : 2;
        changed[where] += held[i] != before[i];
    }
    EXPECT_EQ(changed[2], 0);
    for (int f = 0; f < 2; ++f)
        EXPECT_GT(changed[f], (fields[f].right - fields[f].left) * (fields[f].bottom - fields[f].top) / 2)
            << "field " << f << " is not lit";
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
    EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
}

} // namespace
