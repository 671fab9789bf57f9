#include "dialog/small_screen_win.h"

#include "dialog/dialog_template_win.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

// Which controls move together: those of both layouts, and each layout's own set.
enum MoveGroup { BothLayouts, StandardSet, MahjongSet };

struct Placed {
    HWND control;
    RECT place; // in the dialog's client area
    MoveGroup group;
    bool frame;
};

// A band of the client area, from `top` to `bottom`, and by how much the controls below it move up.
struct Cut {
    LONG top, bottom, pixels;
};

bool IsOfKind(HWND control, const wchar_t* windowClass, LONG typeMask, LONG type) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, windowClass) == 0 && (GetWindowLongW(control, GWL_STYLE) & typeMask) == type;
}

// The banner has no ID of its own: it is the one picture among the controls.
bool IsBanner(HWND control) {
    return IsOfKind(control, L"Static", SS_TYPEMASK, SS_BITMAP);
}

bool IsFrame(HWND control) {
    return IsOfKind(control, L"Button", BS_TYPEMASK, BS_GROUPBOX);
}

MoveGroup GroupOf(HWND control) {
    LayoutKind layout = StandardLayout;
    if (!IsInLayoutSet(GetDlgCtrlID(control), layout))
        return BothLayouts;
    return layout == MahjongLayout ? MahjongSet : StandardSet;
}

struct Gathering {
    HWND dialog;
    std::vector<Placed> placed;
};

// Every control but the banner, which is hidden.
BOOL CALLBACK GatherControl(HWND control, LPARAM parameter) {
    auto* gathering = reinterpret_cast<Gathering*>(parameter);
    if (GetParent(control) != gathering->dialog)
        return TRUE;
    if (IsBanner(control)) {
        ShowWindow(control, SW_HIDE);
        return TRUE;
    }
    RECT place;
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, gathering->dialog, reinterpret_cast<POINT*>(&place), 2);
    gathering->placed.push_back({control, place, GroupOf(control), IsFrame(control)});
    return TRUE;
}

// The bands that none of the spans covers, from `from` down to the last span.
std::vector<Cut> GapsBetween(std::vector<RECT> spans, LONG from) {
    std::sort(spans.begin(), spans.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
    std::vector<Cut> gaps;
    for (const RECT& span : spans) {
        if (span.top > from)
            gaps.push_back({from, span.top, 0});
        from = std::max(from, span.bottom);
    }
    return gaps;
}

// The rows of one layout's set (its frames aside), and the gaps between them.
std::vector<Cut> GapsBetweenRows(const std::vector<Placed>& placed, MoveGroup group) {
    std::vector<RECT> spans;
    LONG first = LONG_MAX;
    for (const Placed& control : placed)
        if (control.group == group && !control.frame) {
            spans.push_back(control.place);
            first = std::min(first, control.place.top);
        }
    return GapsBetween(spans, first);
}

// Each gap wider than `keep` is cut down to it.
std::vector<Cut> CutsOf(std::vector<Cut> gaps, LONG keep) {
    for (Cut& gap : gaps)
        gap.pixels = std::max(0L, gap.bottom - gap.top - keep);
    return gaps;
}

LONG MoveAt(LONG y, const std::vector<Cut>& cuts) {
    LONG pixels = 0;
    for (const Cut& cut : cuts)
        if (cut.bottom <= y)
            pixels += cut.pixels;
    return pixels;
}

LONG Total(const std::vector<Cut>& cuts) {
    return MoveAt(LONG_MAX, cuts);
}

// A control moves up by the cuts above it; a frame around a cut gets shorter by it.
void MoveUp(const Placed& control, const std::vector<Cut>& cuts) {
    const RECT& place = control.place;
    LONG top = place.top - MoveAt(place.top, cuts), bottom = place.bottom - MoveAt(place.bottom, cuts);
    SetWindowPos(control.control, nullptr, place.left, top, place.right - place.left, bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

// How far the lowest control would reach below the work area, with the window's top at the work
// area's and the controls moved by the cuts: the frame counted is the one the system draws.
LONG Overflow(HWND dialog, const std::vector<Placed>& placed, const std::vector<Cut> (&cuts)[3],
              const RECT& work) {
    POINT client = {0, 0};
    RECT window;
    ClientToScreen(dialog, &client);
    GetWindowRect(dialog, &window);
    LONG lowest = 0;
    for (const Placed& control : placed)
        lowest = std::max(lowest, control.place.bottom - MoveAt(control.place.bottom, cuts[control.group]));
    return work.top + (client.y - window.top) + lowest - work.bottom;
}

// Leaves out the banner and closes the gaps that every control of both layouts leaves (above the
// path, between the path and the players), and those between the groups of rows of each layout's
// set, down to the space between two rows of key fields; the first ones closer still where a tall
// frame would leave the lowest controls below the work area. Returns how much shorter the client is.
LONG CloseGaps(HWND dialog, const RECT& work) {
    Gathering gathering = {dialog, {}};
    EnumChildWindows(dialog, GatherControl, reinterpret_cast<LPARAM>(&gathering));
    const std::vector<Placed>& placed = gathering.placed;
    std::vector<Cut> rowGaps[3] = {
        {}, GapsBetweenRows(placed, StandardSet), GapsBetweenRows(placed, MahjongSet)};
    LONG rowSpace = LONG_MAX;
    for (const std::vector<Cut>& gaps : rowGaps)
        for (const Cut& gap : gaps)
            rowSpace = std::min(rowSpace, gap.bottom - gap.top);
    if (rowSpace == LONG_MAX)
        rowSpace = 0;
    std::vector<RECT> spans;
    for (const Placed& control : placed)
        spans.push_back(control.place);
    std::vector<Cut> commonGaps = GapsBetween(spans, 0), cuts[3];
    auto cutAll = [&](LONG keep) {
        for (int group = BothLayouts; group <= MahjongSet; ++group) {
            cuts[group] = CutsOf(rowGaps[group], rowSpace);
            std::vector<Cut> common = CutsOf(commonGaps, keep);
            cuts[group].insert(cuts[group].end(), common.begin(), common.end());
        }
    };
    cutAll(rowSpace);
    LONG overflow = Overflow(dialog, placed, cuts, work), gaps = static_cast<LONG>(commonGaps.size());
    if (overflow > 0 && gaps > 0)
        cutAll(std::max(0L, rowSpace - (overflow + gaps - 1) / gaps));
    for (const Placed& control : placed)
        MoveUp(control, cuts[control.group]);
    return Total(cuts[BothLayouts]);
}

} // namespace

void FitToWorkArea(HWND dialog) {
    RECT work = WorkAreaOf(dialog), window;
    GetWindowRect(dialog, &window);
    int workHeight = work.bottom - work.top, height = window.bottom - window.top;
    if (height <= workHeight)
        return;
    height -= CloseGaps(dialog, work);
    int top = height > workHeight ? work.top : std::max(work.top, std::min(window.top, work.bottom - height));
    SetWindowPos(dialog, nullptr, window.left, top, window.right - window.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}
