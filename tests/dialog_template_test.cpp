// The dialog template, control by control, and the switching between the two layouts' sets.
#include "dialog/dialog_template.h"
#include "resources/resource.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

enum Kind {
    KeyField,
    CaptureButton,
    RowLabel,
    OptionBox,
    GroupFrame,
    PathEdit,
    OkButton,
    CancelButton,
    Bitmap,
    Credit,
    SkipButton
};

struct ExpectedControl {
    int id; // -1 for the controls without one
    Kind kind;
    RECT place; // x, y, width, height in dialog units
    std::wstring caption;
};

struct KindTraits {
    const wchar_t* windowClass;
    DWORD style; // the control's own style bits (low word) and WS_TABSTOP, WS_DISABLED, WS_GROUP
};

KindTraits TraitsOf(Kind kind) {
    switch (kind) {
    case KeyField:
        return {L"Edit", ES_LEFT | ES_AUTOHSCROLL | WS_DISABLED};
    case CaptureButton:
        return {L"Button", BS_PUSHBUTTON};
    case RowLabel:
        return {L"Static", SS_LEFT | WS_GROUP};
    case OptionBox:
        return {L"Button", BS_AUTOCHECKBOX | BS_LEFTTEXT};
    case GroupFrame:
        return {L"Button", BS_GROUPBOX};
    case PathEdit:
        return {L"Edit", ES_LEFT | ES_AUTOHSCROLL};
    case OkButton:
        return {L"Button", BS_DEFPUSHBUTTON | WS_TABSTOP};
    case CancelButton:
        return {L"Button", BS_PUSHBUTTON | WS_TABSTOP};
    case Bitmap:
        return {L"Static", SS_BITMAP | SS_REALSIZECONTROL};
    case Credit:
        return {L"Static", SS_LEFT | WS_DISABLED};
    case SkipButton:
        return {L"Button", BS_PUSHBUTTON | WS_DISABLED};
    }
    return {L"", 0};
}

RECT Place(LONG x, LONG y, LONG width, LONG height) {
    return {x, y, width, height};
}

std::vector<ExpectedControl> ExpectedControls() {
    std::vector<ExpectedControl> all = {
        {IDOK, OkButton, Place(255, 293, 48, 14), L"確定"},
        {IDCANCEL, CancelButton, Place(303, 293, 48, 14), L"取消"},
        {-1, Bitmap, Place(0, 0, 363, 49), L""},
        {-1, GroupFrame, Place(6, 55, 349, 27), L"驅動路徑"},
        {IDC_DRIVER_PATH, PathEdit, Place(11, 65, 339, 14), L""},
        {-1, GroupFrame, Place(256, 88, 96, 83), L""},
        {IDC_MAHJONG_GAME, OptionBox, Place(272, 101, 64, 10), L"麻將遊戲"},
        {IDC_FOUR_WAY, OptionBox, Place(273, 117, 63, 10), L"4向手把"},
        {IDC_SQUARE, OptionBox, Place(302, 134, 34, 10), L"方塊"},
        {IDC_LOW_RESOLUTION, OptionBox, Place(274, 149, 62, 10), L"低解析度"},
        {-1, Credit, Place(268, 175, 71, 8), L"中文翻譯：Orvane"},
        {-1, Credit, Place(272, 184, 60, 8), L"繁體中文"},
        {-1, GroupFrame, Place(256, 194, 96, 94), L""},
        {-1, RowLabel, Place(261, 202, 17, 8), L"系統"},
        {IDC_SYSTEM_KEY, KeyField, Place(259, 214, 74, 14), L""},
        {IDC_SYSTEM_CAPTURE, CaptureButton, Place(334, 215, 12, 12), L""},
        {-1, RowLabel, Place(261, 234, 17, 8), L"離開"},
        {IDC_EXIT_KEY, KeyField, Place(259, 245, 74, 14), L""},
        {IDC_EXIT_CAPTURE, CaptureButton, Place(334, 245, 12, 12), L""},
        {IDC_ASSIGN_ALL, CaptureButton, Place(259, 266, 42, 14), L"依序設定"},
        {IDC_SKIP, SkipButton, Place(304, 266, 42, 14), L"跳過"},
        {4033, GroupFrame, Place(47, 87, 96, 222), L"第一玩家"},
        {4034, GroupFrame, Place(152, 87, 96, 222), L"第二玩家"},
        {4035, GroupFrame, Place(5, 86, 246, 224), L"麻將"},
    };
    struct StandardRow {
        const wchar_t* caption;
        LONG labelY, fieldY, button1Y, button2Y;
    };
    const StandardRow standardRows[] = {
        {L"上", 102, 100, 101, 101},       {L"下", 117, 115, 116, 116},     {L"左", 132, 130, 131, 131},
        {L"右", 147, 145, 146, 146},       {L"按鈕 1", 166, 164, 165, 165}, {L"按鈕 2", 181, 179, 180, 180},
        {L"按鈕 3", 196, 194, 195, 196},   {L"按鈕 4", 211, 209, 210, 210}, {L"按鈕 5", 226, 224, 225, 225},
        {L"按鈕 6", 241, 239, 240, 241},   {L"開始", 260, 258, 259, 259},   {L"投幣", 275, 273, 274, 274},
        {L"系統離開", 290, 288, 289, 289},
    };
    for (int i = 0; i < 13; ++i) {
        const StandardRow& row = standardRows[i];
        all.push_back({4020 + i, RowLabel, Place(9, row.labelY, 32, 8), row.caption});
        all.push_back({2000 + i, KeyField, Place(52, row.fieldY, 74, 14), L""});
        all.push_back({3000 + i, CaptureButton, Place(127, row.button1Y, 12, 12), L""});
        all.push_back({2013 + i, KeyField, Place(157, row.fieldY, 74, 14), L""});
        all.push_back({3013 + i, CaptureButton, Place(232, row.button2Y, 12, 12), L""});
    }
    struct MahjongRow {
        const wchar_t* leftCaption;
        LONG leftY;
        const wchar_t* rightCaption;
        LONG rightY, fieldY, leftButtonY, rightButtonY;
    };
    const MahjongRow mahjongRows[] = {
        {L"A", 98, L"槓", 98, 96, 97, 97},
        {L"B", 113, L"聽", 114, 111, 112, 112},
        {L"C", 128, L"胡", 128, 126, 127, 127},
        {L"D", 143, L"點", 144, 141, 142, 142},
        {L"E", 158, L"吃", 158, 156, 157, 157},
        {L"F", 173, L"碰", 173, 171, 172, 172},
        {L"G", 188, L"大", 189, 186, 187, 187},
        {L"H", 203, L"小", 203, 201, 202, 201},
        {L"I", 218, L"以分數計算", 218, 216, 217, 217},
        {L"J", 233, L"交換", 234, 231, 232, 232},
        {L"K", 248, L"Flip Flop", 248, 246, 247, 247},
        {L"L", 263, L"開始", 264, 261, 262, 262},
        {L"M", 278, L"投幣", 278, 276, 277, 277},
        {L"N", 293, L"確定", 293, 291, 292, 292},
    };
    for (int i = 0; i < 14; ++i) {
        const MahjongRow& row = mahjongRows[i];
        all.push_back({4036 + i, RowLabel, Place(11, row.leftY, 8, 8), row.leftCaption});
        all.push_back({2026 + i, KeyField, Place(22, row.fieldY, 74, 14), L""});
        all.push_back({3026 + i, CaptureButton, Place(97, row.leftButtonY, 12, 12), L""});
        all.push_back({4050 + i, RowLabel, Place(116, row.rightY, 39, 8), row.rightCaption});
        all.push_back({2040 + i, KeyField, Place(159, row.fieldY, 74, 14), L""});
        all.push_back({3040 + i, CaptureButton, Place(234, row.rightButtonY, 12, 12), L""});
    }
    return all;
}

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

RECT InDialogUnits(HWND dialog, HWND control) {
    RECT actual;
    GetWindowRect(control, &actual);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    return actual;
}

// The dialog manager converts the place and the size each on its own, and so does this.
RECT ToPixels(HWND dialog, RECT place) {
    RECT pixels = place;
    MapDialogRect(dialog, &pixels);
    return {pixels.left, pixels.top, pixels.left + pixels.right, pixels.top + pixels.bottom};
}

std::string Describe(const ExpectedControl& control) {
    return "control " + std::to_string(control.id) + " at " + std::to_string(control.place.left) + "," +
           std::to_string(control.place.top);
}

bool IsBitmapStatic(HWND window) {
    return ClassOf(window) == L"Static" && (GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

// Controls without an ID are matched by their place; the bitmap static by its style.
HWND FindControl(HWND dialog, const ExpectedControl& expected) {
    if (expected.id != -1)
        return GetDlgItem(dialog, expected.id);
    if (expected.kind == Bitmap) {
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (IsBitmapStatic(child))
                return child;
        }
        return nullptr;
    }
    RECT want = ToPixels(dialog, expected.place);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT got = InDialogUnits(dialog, child);
        if (EqualRect(&got, &want) && ClassOf(child) == TraitsOf(expected.kind).windowClass)
            return child;
    }
    return nullptr;
}

constexpr DWORD CheckedStyleBits = 0xFFFF | WS_TABSTOP | WS_DISABLED | WS_GROUP;

TEST(DialogTemplate, EveryControlHasItsClassPlaceStyleAndCaption) {
    HWND dialog = CreateTemplateDialog();
    ASSERT_NE(dialog, nullptr);
    std::vector<ExpectedControl> expected = ExpectedControls();
    int children = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        ++children;
    EXPECT_EQ(children, static_cast<int>(expected.size()));
    for (const ExpectedControl& control : expected) {
        SCOPED_TRACE(Describe(control));
        HWND window = FindControl(dialog, control);
        ASSERT_NE(window, nullptr);
        KindTraits traits = TraitsOf(control.kind);
        EXPECT_EQ(ClassOf(window), traits.windowClass);
        RECT want = ToPixels(dialog, control.place), got = InDialogUnits(dialog, window);
        EXPECT_TRUE(EqualRect(&want, &got))
            << "expected " << want.left << "," << want.top << "-" << want.right << "," << want.bottom
            << " got " << got.left << "," << got.top << "-" << got.right << "," << got.bottom;
        DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
        EXPECT_EQ(style & CheckedStyleBits, traits.style) << std::hex << style;
        EXPECT_TRUE(style & WS_CHILD);
        EXPECT_TRUE(style & WS_VISIBLE);
        if (control.kind == KeyField || control.kind == PathEdit) {
            DWORD extended = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
            EXPECT_TRUE((style & WS_BORDER) || (extended & WS_EX_CLIENTEDGE)) << "a border";
        }
        if (control.kind != Bitmap) {
            EXPECT_EQ(TextOf(window), control.caption);
        }
    }
    DestroyWindow(dialog);
}

TEST(DialogTemplate, FrameHasItsStyleCaptionSizeAndBanner) {
    HWND dialog = CreateTemplateDialog();
    ASSERT_NE(dialog, nullptr);
    DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
    for (DWORD bit : {DWORD(WS_POPUP), DWORD(WS_CAPTION), DWORD(WS_SYSMENU), DWORD(DS_MODALFRAME)})
        EXPECT_TRUE(style & bit) << std::hex << bit;
    EXPECT_FALSE(style & WS_VISIBLE) << "shown by the dialog procedure, not at creation";
    EXPECT_EQ(TextOf(dialog), L"Orvane 設定");
    RECT client;
    GetClientRect(dialog, &client);
    RECT want = ToPixels(dialog, Place(0, 0, 362, 318));
    EXPECT_EQ(client.right, want.right);
    EXPECT_EQ(client.bottom, want.bottom);
    HWND banner = FindControl(dialog, {-1, Bitmap, Place(0, 0, 363, 49), L""});
    ASSERT_NE(banner, nullptr);
    HBITMAP bitmap = reinterpret_cast<HBITMAP>(SendMessageW(banner, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    ASSERT_NE(GetObjectW(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 544);
    EXPECT_EQ(info.bmHeight, 79);
    DestroyWindow(dialog);
}

// Windows scales a dialog by its font where the program declares no DPI awareness (XP at 120 DPI,
// Vista and 7 at 125 %). Wine reads the DPI when a process starts, so this test runs itself again in
// a process started with LogPixels 120, and there the banner must fill its box, edge to edge.
constexpr wchar_t ScaledChildVariable[] = L"ORVANE_SCALED_DIALOG_CHILD";

bool IsBannerBlue(COLORREF colour) {
    return GetBValue(colour) > GetRValue(colour) + 60;
}

void CheckBannerOfScaledDialog() {
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), 120);
    ReleaseDC(nullptr, screen);
    HWND dialog = CreateTemplateDialog();
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    HWND banner = FindControl(dialog, {-1, Bitmap, Place(0, 0, 363, 49), L""});
    ASSERT_NE(banner, nullptr);
    RECT want = ToPixels(dialog, Place(0, 0, 363, 49)), got = InDialogUnits(dialog, banner);
    ASSERT_TRUE(want.right > 544 && want.bottom > 79) << "the box is no larger than the picture";
    EXPECT_TRUE(EqualRect(&want, &got)) << got.right << "x" << got.bottom;
    HDC dc = GetDC(banner);
    EXPECT_TRUE(IsBannerBlue(GetPixel(dc, got.right - 2, got.bottom / 2))) << "grey strip at the right";
    EXPECT_TRUE(IsBannerBlue(GetPixel(dc, got.right / 2, got.bottom - 2))) << "grey strip at the bottom";
    ReleaseDC(banner, dc);
    DestroyWindow(dialog);
}

// Sets LogPixels for processes started from now on; gives back the value it replaced (0: none).
DWORD SetLogPixels(DWORD dpi) {
    HKEY desktop;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &desktop, nullptr);
    DWORD was = 0, size = sizeof was;
    RegQueryValueExW(desktop, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&was), &size);
    if (dpi != 0)
        RegSetValueExW(desktop, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    else
        RegDeleteValueW(desktop, L"LogPixels");
    RegCloseKey(desktop);
    return was;
}

TEST(DialogTemplate, TheBannerFillsItsBoxWhenWindowsScalesTheDialog) {
    if (GetEnvironmentVariableW(ScaledChildVariable, nullptr, 0) != 0)
        return CheckBannerOfScaledDialog();
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = std::wstring(L"\"") + self +
                           L"\" --gtest_filter=DialogTemplate.TheBannerFillsItsBoxWhenWindowsScalesTheDialog";
    DWORD previous = SetLogPixels(120);
    SetEnvironmentVariableW(ScaledChildVariable, L"1");
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &child);
    SetEnvironmentVariableW(ScaledChildVariable, nullptr);
    DWORD exitCode = 1;
    if (started) {
        WaitForSingleObject(child.hProcess, 60000);
        GetExitCodeProcess(child.hProcess, &exitCode);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    SetLogPixels(previous);
    ASSERT_TRUE(started);
    EXPECT_EQ(exitCode, 0u) << "the check at 120 DPI failed; its output is above";
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

bool IsShown(HWND dialog, int id) {
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

void ExpectVisibility(HWND dialog, int first, int last, bool visible) {
    for (int id = first; id <= last; ++id)
        EXPECT_EQ(IsShown(dialog, id), visible) << "control " << id;
}

void ExpectLayoutShown(HWND dialog, bool mahjong) {
    ExpectVisibility(dialog, 2000, 2025, !mahjong);
    ExpectVisibility(dialog, 3000, 3025, !mahjong);
    ExpectVisibility(dialog, 4020, 4034, !mahjong);
    ExpectVisibility(dialog, 2026, 2053, mahjong);
    ExpectVisibility(dialog, 3026, 3053, mahjong);
    ExpectVisibility(dialog, 4035, 4063, mahjong);
    for (int id : {IDOK, IDCANCEL, 1002, 1003, 1004, 1005, 1006, 2098, 2099, 3098, 3099})
        EXPECT_TRUE(IsShown(dialog, id)) << "common control " << id;
}

TEST(DialogTemplate, OnlyAMahjongFlagOfOneShowsTheMahjongSet) {
    HWND dialog = CreateTemplateDialog();
    ASSERT_NE(dialog, nullptr);
    const std::pair<uint8_t, bool> flags[] = {{1, true}, {0, false}, {7, false}, {1, true}, {0xFF, false}};
    for (auto [flag, mahjong] : flags) {
        SCOPED_TRACE("mahjong flag " + std::to_string(flag));
        WriteShared(gSettings.mahjongFlag, flag);
        ShowLayoutControls(dialog);
        ExpectLayoutShown(dialog, mahjong);
    }
    WriteShared(gSettings.mahjongFlag, 0);
    DestroyWindow(dialog);
}

} // namespace
