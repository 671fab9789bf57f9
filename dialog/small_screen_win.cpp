#include "dialog/small_screen_win.h"

#include "dialog/dialog_template_win.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

// Which controls a band moves: every control, or one layout's set.
enum BandGroup { AllControls, StandardSet, MahjongSet };

// A band of the template in dialog units (scaled to pixels for a fit), or an edge (`top` unused).
struct Band {
    int top, bottom;
    BandGroup group;
};

// The bands a small screen closes: for every control the banner's, above the path, and the one
// between the path and the players; for each layout's set, those between its key rows (the standard
// set's wider between its groups of rows). Each closes down to the narrowest space between two rows,
// so the rows' gaps that the scaling made a pixel wider close too; the first two closer still where
// the frame the system draws would leave the lowest control below the work area.
std::vector<Band> Bands() {
    std::vector<Band> bands = {{0, 55, AllControls}, {82, 86, AllControls}};
    for (int top : {114, 129, 144, 159, 178, 193, 208, 223, 238, 253, 272, 287})
        bands.push_back({top, top == 159 || top == 253 ? top + 5 : top + 1, StandardSet});
    for (int top = 110; top <= 290; top += 15)
        bands.push_back({top, top + 1, MahjongSet});
    return bands;
}
// The lowest edge of each group: OK's, the player frames', the mahjong frame's.
constexpr Band LowestEdges[] = {{0, 307, AllControls}, {0, 309, StandardSet}, {0, 310, MahjongSet}};

struct Fit {
    HWND dialog;
    std::vector<Band> bands;   // in pixels
    LONG keepCommon, keepRows; // pixels left of each band
};

int ToPixels(HWND dialog, int y) {
    RECT rect = {0, y, 0, y};
    MapDialogRect(dialog, &rect);
    return static_cast<int>(rect.top);
}

// How far an edge at `y` pixels moves up: by every band of its group closed above it.
LONG MoveAt(const Fit& fit, LONG y, BandGroup group) {
    LONG pixels = 0;
    for (const Band& band : fit.bands)
        if (band.bottom <= y && (band.group == AllControls || band.group == group))
            pixels += std::max(0L, band.bottom - band.top -
                                       (band.group == AllControls ? fit.keepCommon : fit.keepRows));
    return pixels;
}

// The banner, which has no ID of its own (the one picture among the controls), is hidden; every
// other control moves up by the bands above it, and a frame around a band gets shorter by it.
BOOL CALLBACK MoveUp(HWND control, LPARAM parameter) {
    const Fit& fit = *reinterpret_cast<const Fit*>(parameter);
    if (GetParent(control) != fit.dialog)
        return TRUE;
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    if (lstrcmpiW(name, L"Static") == 0 && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
        ShowWindow(control, SW_HIDE);
        return TRUE;
    }
    LayoutKind layout = StandardLayout;
    BandGroup group = !IsInLayoutSet(GetDlgCtrlID(control), layout) ? AllControls
                      : layout == StandardLayout                    ? StandardSet
                                                                    : MahjongSet;
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, fit.dialog, reinterpret_cast<POINT*>(&place), 2);
    LONG top = place.top - MoveAt(fit, place.top, group),
         bottom = place.bottom - MoveAt(fit, place.bottom, group);
    SetWindowPos(control, nullptr, place.left, top, place.right - place.left, bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

// How far the lowest control would reach below the work area, with the window's top at the work
// area's: the frame counted is the one the system draws.
LONG Overflow(const Fit& fit, const RECT& window, const RECT& work) {
    POINT client = {0, 0};
    ClientToScreen(fit.dialog, &client);
    LONG lowest = 0;
    for (const Band& edge : LowestEdges) {
        LONG y = ToPixels(fit.dialog, edge.bottom);
        lowest = std::max(lowest, y - MoveAt(fit, y, edge.group));
    }
    return work.top + (client.y - window.top) + lowest - work.bottom;
}

} // namespace

void FitToWorkArea(HWND dialog) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT work = monitor.rcWork, window;
    GetWindowRect(dialog, &window);
    int workHeight = work.bottom - work.top, height = window.bottom - window.top;
    if (height <= workHeight)
        return;
    LONG rowSpace = ToPixels(dialog, 8) / 8; // the narrowest a one-unit gap scales to
    Fit fit = {dialog, Bands(), rowSpace, rowSpace};
    for (Band& band : fit.bands) // scaled once
        band = {ToPixels(dialog, band.top), ToPixels(dialog, band.bottom), band.group};
    if (LONG overflow = Overflow(fit, window, work); overflow > 0)
        fit.keepCommon = std::max(0L, rowSpace - (overflow + 1) / 2);
    EnumChildWindows(dialog, MoveUp, reinterpret_cast<LPARAM>(&fit));
    height -= MoveAt(fit, LONG_MAX, AllControls);
    int top = height > workHeight ? work.top : std::max(work.top, std::min(window.top, work.bottom - height));
    SetWindowPos(dialog, nullptr, window.left, top, window.right - window.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
