#include "dialog/small_screen.h"

#include <algorithm>

namespace {

constexpr int BannerHeightUnits = 49;

// The banner has no ID of its own: it is the one picture among the controls.
bool IsBanner(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, L"Static") == 0 && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

struct MoveUp {
    HWND dialog;
    int pixels;
};

BOOL CALLBACK MoveControlUp(HWND control, LPARAM parameter) {
    const auto* move = reinterpret_cast<const MoveUp*>(parameter);
    if (GetParent(control) != move->dialog)
        return TRUE;
    if (IsBanner(control)) {
        ShowWindow(control, SW_HIDE);
        return TRUE;
    }
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, move->dialog, reinterpret_cast<POINT*>(&place), 2);
    SetWindowPos(control, nullptr, place.left, place.top - move->pixels, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    RECT banner = {0, 0, 0, BannerHeightUnits};
    MapDialogRect(dialog, &banner);
    MoveUp move = {dialog, banner.bottom};
    EnumChildWindows(dialog, MoveControlUp, reinterpret_cast<LPARAM>(&move));
    height -= banner.bottom;
    int top = height > workHeight ? work.top : std::max(work.top, std::min(window.top, work.bottom - height));
    SetWindowPos(dialog, nullptr, window.left, top, window.right - window.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
