// The dialog template by the rules the behaviour leans on, the banner when Windows scales the dialog,
// and the icon sizes.
#include "dialog/settings_dialog_win.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

INT_PTR CALLBACK InertDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

HWND CreateTemplateDialog() {
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), nullptr,
                              InertDialogProc, 0);
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
}

RECT InDialogUnits(HWND dialog, HWND control) {
    RECT actual;
    GetWindowRect(control, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    return actual;
}

// The dialog manager converts the place and the size each on its own, and so does this.
RECT ToPixels(HWND dialog, LONG x, LONG y, LONG width, LONG height) {
    RECT pixels = {x, y, width, height};
    MapDialogRect(dialog, &pixels);
    return {pixels.left, pixels.top, pixels.left + pixels.right, pixels.top + pixels.bottom};
}

HWND Banner(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == L"Static" && (StyleOf(child) & SS_TYPEMASK) == SS_BITMAP)
            return child;
    return nullptr;
}

// The rules the behaviour leans on, rather than the resource script said again: a window with a
// title bar and a close box, shown by the dialog procedure once placed, its mahjong set hidden until
// a mahjong file shows it; each input a disabled,
// framed key field (nothing is typed into it) with a 12 x 12 push button right beside it; option
// boxes that check themselves; OK the default button; and only OK and Cancel take the keyboard
// focus by Tab (a cabinet's panel keys are no navigation).
TEST(DialogTemplate, EveryInputIsAKeyFieldWithItsButtonAndOnlyOkAndCancelAreTabStops) {
    HWND dialog = CreateTemplateDialog();
    ASSERT_NE(dialog, nullptr);
    int children = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++children) {
        int id = GetDlgCtrlID(child);
        EXPECT_EQ((StyleOf(child) & WS_TABSTOP) != 0, id == IDOK || id == IDCANCEL) << "control " << id;
        bool mahjongSet = (id >= IDC_MAHJONG_KEY_FIRST && id < IDC_SYSTEM_KEY) ||
                          (id >= IDC_MAHJONG_CAPTURE_FIRST && id < IDC_SYSTEM_CAPTURE) ||
                          id >= IDC_MAHJONG_FRAME;
        EXPECT_EQ((StyleOf(child) & WS_VISIBLE) != 0, !mahjongSet) << "control " << id;
    }
    EXPECT_EQ(children, 173) << "24 common controls and the two sets";
    EXPECT_EQ(StyleOf(dialog) & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    for (int id : {IDC_MAHJONG_GAME, IDC_FOUR_WAY, IDC_SQUARE, IDC_LOW_RESOLUTION})
        EXPECT_EQ(StyleOf(GetDlgItem(dialog, id)) & BS_TYPEMASK, DWORD(BS_AUTOCHECKBOX)) << id;
    EXPECT_EQ(StyleOf(GetDlgItem(dialog, IDOK)) & BS_TYPEMASK, DWORD(BS_DEFPUSHBUTTON));
    RECT buttonSize = ToPixels(dialog, 0, 0, 12, 12);
    for (int id = IDC_STANDARD_CAPTURE_FIRST; id <= IDC_EXIT_CAPTURE; ++id) {
        HWND button = GetDlgItem(dialog, id), field = GetDlgItem(dialog, id - IDC_CAPTURE_FIELD_DISTANCE);
        if (id >= IDC_MAHJONG_CAPTURE_FIRST + 28 && id < IDC_SYSTEM_CAPTURE)
            continue;
        ASSERT_TRUE(button && field) << id;
        EXPECT_TRUE(ClassOf(button) == L"Button" && (StyleOf(button) & BS_TYPEMASK) == BS_PUSHBUTTON) << id;
        bool framed = (StyleOf(field) & WS_BORDER) || (GetWindowLongW(field, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_TRUE(ClassOf(field) == L"Edit" && framed &&
                    (StyleOf(field) & (ES_AUTOHSCROLL | WS_DISABLED)) == DWORD(ES_AUTOHSCROLL | WS_DISABLED))
            << id;
        RECT b = InDialogUnits(dialog, button), f = InDialogUnits(dialog, field);
        EXPECT_TRUE(b.right - b.left == buttonSize.right && b.bottom - b.top == buttonSize.bottom) << id;
        EXPECT_TRUE(b.left >= f.right && b.left - f.right <= 3)
            << id << ": the button is right beside its field";
        EXPECT_TRUE(b.top >= f.top && (b.top + b.bottom) / 2 < f.bottom) << id << ": on the field's row";
    }
    DestroyWindow(dialog);
}

bool OnTheRowOf(HWND dialog, HWND label, HWND field) {
    RECT l = InDialogUnits(dialog, label), f = InDialogUnits(dialog, field);
    LONG middle = (l.top + l.bottom) / 2;
    return middle >= f.top && middle <= f.bottom && l.right <= f.left;
}

TEST(DialogTemplate, EachRowLabelNamesItsInputLeftOfItsField) {
    const wchar_t* standard[] = {L"上",     L"下",     L"左",     L"右",   L"按鈕 1", L"按鈕 2",  L"按鈕 3",
                                 L"按鈕 4", L"按鈕 5", L"按鈕 6", L"開始", L"投幣",   L"系統離開"};
    const wchar_t* mahjong[] = {L"A",  L"B",          L"C",    L"D",         L"E",    L"F",    L"G",
                                L"H",  L"I",          L"J",    L"K",         L"L",    L"M",    L"N",
                                L"槓", L"聽",         L"胡",   L"點",        L"吃",   L"碰",   L"大",
                                L"小", L"以分數計算", L"交換", L"Flip Flop", L"開始", L"投幣", L"確定"};
    HWND dialog = CreateTemplateDialog();
    ASSERT_NE(dialog, nullptr);
    for (int row = 0; row < 13; ++row) {
        HWND label = GetDlgItem(dialog, IDC_STANDARD_LABEL_FIRST + row);
        EXPECT_EQ(TextOf(label), standard[row]);
        EXPECT_TRUE(OnTheRowOf(dialog, label, GetDlgItem(dialog, IDC_STANDARD_KEY_FIRST + row))) << row;
    }
    for (int slot = 0; slot < 28; ++slot) {
        HWND label = GetDlgItem(dialog, IDC_MAHJONG_LABEL_FIRST + slot);
        EXPECT_EQ(TextOf(label), mahjong[slot]);
        EXPECT_TRUE(OnTheRowOf(dialog, label, GetDlgItem(dialog, IDC_MAHJONG_KEY_FIRST + slot))) << slot;
    }
    DestroyWindow(dialog);
}

bool IsBannerBlue(COLORREF colour) {
    return GetBValue(colour) > GetRValue(colour) + 60;
}

// Run in sessions at 120, 144 and 192 DPI (ORVANE_DPI), where the program, DPI aware, is given the
// screen's DPI and the dialog grows with its font: the banner, drawn for that DPI, fills its box,
// edge to edge, with no grey strip, and every control lies inside the window. (Every caption fitting: the
// English test.)
TEST(ScaledDialog, TheBannerFillsItsBoxAndEveryControlLiesInsideTheWindow) {
    const char* dpi = std::getenv("ORVANE_DPI");
    ASSERT_NE(dpi, nullptr) << "ORVANE_DPI is not set";
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), std::atoi(dpi));
    ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), std::atoi(dpi));
    ReleaseDC(nullptr, screen);
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), nullptr,
                                     SettingsDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    UpdateWindow(dialog);
    HWND banner = Banner(dialog);
    ASSERT_NE(banner, nullptr);
    RECT want = ToPixels(dialog, 0, 0, 362, 49), got = InDialogUnits(dialog, banner);
    ASSERT_TRUE(want.right > 544 && want.bottom > 79) << "the box is no larger than the picture";
    EXPECT_TRUE(EqualRect(&want, &got)) << got.right << "x" << got.bottom;
    BITMAP shown = {};
    GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof shown,
               &shown);
    EXPECT_EQ(shown.bmWidth, std::atoi(dpi) * 544 / 96) << "not the banner drawn for this DPI";
    HDC dc = GetDC(banner);
    EXPECT_TRUE(IsBannerBlue(GetPixel(dc, got.right - 2, got.bottom / 2))) << "grey strip at the right";
    EXPECT_TRUE(IsBannerBlue(GetPixel(dc, got.right / 2, got.bottom - 2))) << "grey strip at the bottom";
    ReleaseDC(banner, dc);
    RECT client;
    GetClientRect(dialog, &client);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place = InDialogUnits(dialog, child), inside;
        IntersectRect(&inside, &place, &client);
        EXPECT_TRUE(EqualRect(&inside, &place)) << "control " << GetDlgCtrlID(child) << " reaches outside";
    }
    DestroyWindow(dialog);
    RestoreSessionBeep();
}

TEST(DialogTemplate, IconGroupHoldsEverySize) {
    for (int size : {256, 128, 48, 32, 24, 16}) {
        HICON icon = static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP mask = {};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, size);
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        DestroyIcon(icon);
    }
}

} // namespace
