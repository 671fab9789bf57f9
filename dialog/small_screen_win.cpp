#include "dialog/small_screen_win.h"

#include "dialog/dialog_template_win.h"

#include <algorithm>
#include <climits>

namespace {

// The bands a small screen closes, in the template's dialog units: for every control the banner's,
// above the path, and the one between the path and the players; for the standard layout's set, the
// two between its groups of key rows. Each closes down to the space between two key rows; the first
// two closer still where the frame the system draws would leave the lowest control below the work
// area.
struct Band {
    int top, bottom;
    bool standardSetOnly;
};
constexpr Band Bands[] = {{0, 55, false}, {82, 86, false}, {159, 164, true}, {253, 258, true}};
constexpr int RowSpaceTop = 114, RowSpaceBottom = 115; // between two key rows
constexpr int LowestBottom = 310;                      // the mahjong frame's

struct Fit {
    HWND dialog;
    LONG keepCommon, keepRows; // pixels left of each band
};

LONG ToPixels(HWND dialog, int y) {
    RECT rect = {0, y, 0, y};
    MapDialogRect(dialog, &rect);
    return rect.top;
}

// How far an edge at `y` pixels moves up: by every band closed above it.
LONG MoveAt(const Fit& fit, LONG y, bool standardSet) {
    LONG pixels = 0;
    for (const Band& band : Bands) {
        LONG top = ToPixels(fit.dialog, band.top), bottom = ToPixels(fit.dialog, band.bottom);
        if (bottom <= y && (standardSet || !band.standardSetOnly))
            pixels += std::max(0L, bottom - top - (band.standardSetOnly ? fit.keepRows : fit.keepCommon));
    }
    return pixels;
}

// The banner has no ID of its own: it is the one picture among the controls.
bool IsBanner(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, L"Static") == 0 && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

// The banner is hidden; every other control moves up by the bands above it, and a frame around a
// band gets shorter by it.
BOOL CALLBACK MoveUp(HWND control, LPARAM parameter) {
    const Fit& fit = *reinterpret_cast<const Fit*>(parameter);
    if (GetParent(control) != fit.dialog)
        return TRUE;
    if (IsBanner(control)) {
        ShowWindow(control, SW_HIDE);
        return TRUE;
    }
    LayoutKind layout = MahjongLayout;
    bool standardSet = IsInLayoutSet(GetDlgCtrlID(control), layout) && layout == StandardLayout;
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, fit.dialog, reinterpret_cast<POINT*>(&place), 2);
    LONG top = place.top - MoveAt(fit, place.top, standardSet);
    LONG bottom = place.bottom - MoveAt(fit, place.bottom, standardSet);
    SetWindowPos(control, nullptr, place.left, top, place.right - place.left, bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

} // namespace

void FitToWorkArea(HWND dialog) {
    RECT work = WorkAreaOf(dialog), window;
    GetWindowRect(dialog, &window);
    int workHeight = work.bottom - work.top, height = window.bottom - window.top;
    if (height <= workHeight)
        return;
    LONG rowSpace = ToPixels(dialog, RowSpaceBottom) - ToPixels(dialog, RowSpaceTop);
    Fit fit = {dialog, rowSpace, rowSpace};
    POINT client = {0, 0};
    ClientToScreen(dialog, &client);
    LONG overflow = work.top + (client.y - window.top) + ToPixels(dialog, LowestBottom) -
                    MoveAt(fit, LONG_MAX, false) - work.bottom;
    if (overflow > 0)
        fit.keepCommon = std::max(0L, rowSpace - (overflow + 1) / 2);
    EnumChildWindows(dialog, MoveUp, reinterpret_cast<LPARAM>(&fit));
    height -= MoveAt(fit, LONG_MAX, false);
    int top = height > workHeight ? work.top : std::max(work.top, std::min(window.top, work.bottom - height));
    SetWindowPos(dialog, nullptr, window.left, top, window.right - window.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
