// The real program set up for a cabinet: an input cleared from a capture button's menu, the live key
// test seen on the screen, and the dialog on a 640 x 480 screen with a taskbar.
#include "resources/resource.h"
#include "tests/e2e_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

class Cabinet : public ::testing::Test {
  protected:
    ScratchFolder folder;
};

TEST_F(Cabinet, ARightClickAndClearKeyLeaveTheInputWithNoKey) {
    Bytes image = BuildImageFromRules(StandardLayout);
    WriteBytes(BindingsFileName, image);
    Tool tool = StartWithDialog();
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
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    Bytes expected = image;
    expected[StandardSlotByte(8)] = 0;
    EXPECT_EQ(ReadBytes(BindingsFileName), expected);
}

// The pixels of a window as the screen shows them, top-down, 32 bits each.
std::vector<uint32_t> Screenshot(HWND window, RECT& place) {
    GetWindowRect(window, &place);
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
    return pixels;
}

// A pair of inputs shares A: holding it changes the picture in their two fields and nowhere else.
TEST_F(Cabinet, HoldingAKeyLightsTheFieldsOfItsInputsAndChangesNothingElse) {
    Bytes file = BuildImageFromRules(StandardLayout);
    auto a = static_cast<uint8_t>(MapVirtualKeyW('A', 0));
    file[StandardSlotByte(3)] = file[StandardSlotByte(20)] = a;
    WriteBytes(BindingsFileName, file);
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    TypeOnDialog(L"sleep 0.3");
    RECT place;
    std::vector<uint32_t> before = Screenshot(tool.dialog, place);
    TypeOnDialog(L"keydown a sleep 0.3");
    std::vector<uint32_t> held = Screenshot(tool.dialog, place);
    TypeOnDialog(L"keyup a");
    std::vector<RECT> lit;
    for (int field : {2003, 2020}) {
        RECT rect;
        GetWindowRect(GetDlgItem(tool.dialog, field), &rect);
        OffsetRect(&rect, -place.left, -place.top);
        lit.push_back(rect);
    }
    int width = place.right - place.left, changedOutside = 0;
    std::vector<int> changedIn(lit.size(), 0);
    for (size_t i = 0; i < held.size(); ++i) {
        if ((held[i] & 0xFFFFFF) == (before[i] & 0xFFFFFF))
            continue;
        POINT at = {static_cast<LONG>(i % width), static_cast<LONG>(i / width)};
        bool inside = false;
        for (size_t f = 0; f < lit.size(); ++f)
            if (PtInRect(&lit[f], at)) {
                ++changedIn[f];
                inside = true;
            }
        changedOutside += inside ? 0 : 1;
    }
    EXPECT_EQ(changedOutside, 0);
    for (size_t f = 0; f < lit.size(); ++f)
        EXPECT_GT(changedIn[f], (lit[f].right - lit[f].left) * (lit[f].bottom - lit[f].top) / 2)
            << "field " << f << " is not lit";
    Click(tool.dialog, IDCANCEL);
    EXPECT_EQ(WaitForExit(tool), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), file);
}

// Run in a session of a 640 x 480 screen with a work area 450 pixels high.
class SmallScreen : public Cabinet {};

TEST_F(SmallScreen, EveryControlLiesInsideTheWorkArea) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ASSERT_EQ(work.bottom - work.top, 450) << "run in the small screen's session";
    WriteBytes(BindingsFileName, BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    std::vector<int> controls = {IDOK,
                                 IDCANCEL,
                                 IDC_ASSIGN_ALL,
                                 IDC_SKIP,
                                 IDC_DRIVER_PATH,
                                 IDC_MAHJONG_GAME,
                                 IDC_FOUR_WAY,
                                 IDC_SQUARE,
                                 IDC_LOW_RESOLUTION,
                                 IDC_SYSTEM_KEY,
                                 IDC_SYSTEM_CAPTURE,
                                 IDC_EXIT_KEY,
                                 IDC_EXIT_CAPTURE};
    for (int slot = 0; slot < static_cast<int>(StandardKeyCount); ++slot) {
        controls.push_back(IDC_STANDARD_KEY_FIRST + slot);
        controls.push_back(IDC_STANDARD_CAPTURE_FIRST + slot);
    }
    RECT window, ok;
    GetWindowRect(tool.dialog, &window);
    GetWindowRect(GetDlgItem(tool.dialog, IDOK), &ok);
    printf("At 640 x 480 with a 30 px taskbar: window %ld x %ld at (%ld, %ld); OK at x %ld-%ld, y %ld-%ld\n",
           window.right - window.left, window.bottom - window.top, window.left, window.top, ok.left, ok.right,
           ok.top, ok.bottom);
    EXPECT_GE(window.top, work.top) << "the title bar can be grabbed";
    for (int id : controls) {
        RECT rect;
        ASSERT_TRUE(GetWindowRect(GetDlgItem(tool.dialog, id), &rect)) << "control " << id;
        EXPECT_TRUE(rect.left >= work.left && rect.top >= work.top && rect.right <= work.right &&
                    rect.bottom <= work.bottom)
            << "control " << id << " at " << rect.left << "," << rect.top << "-" << rect.right << ","
            << rect.bottom;
    }
    Click(tool.dialog, IDCANCEL);
    EXPECT_EQ(WaitForExit(tool), 0);
}

} // namespace
