// The Windows build finds the images among its own resources, as the program does at start-up.
#include "tests/test_support.h"

#include "settings/settings_win.h"

void InstallTemplates() {
    LocateTemplates(GetModuleHandleW(nullptr));
}

namespace {

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

} // namespace

int CaptionOverflow(HWND control) {
    wchar_t text[64] = {};
    int length = GetWindowTextW(control, text, 64);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx - RoomForCaption(control);
}
