// Layout switching, the small-screen fit and the English captions.
#include "dialog/dialog_template_win.h"

#include "resources/resource.h"
#include "settings/layout_inputs.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <vector>

namespace {

struct CaptionPair {
    const wchar_t* chinese;
    const wchar_t* english;
};

// Shortened where the English word does not fit its control at 8 points.
constexpr CaptionPair EnglishCaptions[] = {
    {L"Orvane 設定", L"Orvane Settings"},
    {L"驅動路徑", L"Driver path"},
    {L"麻將遊戲", L"Mahjong game"},
    {L"4向手把", L"4-way stick"},
    {L"方塊", L"Square"},
    {L"低解析度", L"Low res."},
    {L"中文翻譯：Orvane", L"Captions: Orvane"},
    {L"繁體中文", L"English"},
    {L"系統", L"Sys."},
    {L"離開", L"Exit"},
    {L"第一玩家", L"Player 1"},
    {L"第二玩家", L"Player 2"},
    {L"上", L"Up"},
    {L"下", L"Down"},
    {L"左", L"Left"},
    {L"右", L"Right"},
    {L"按鈕 1", L"Button 1"},
    {L"按鈕 2", L"Button 2"},
    {L"按鈕 3", L"Button 3"},
    {L"按鈕 4", L"Button 4"},
    {L"按鈕 5", L"Button 5"},
    {L"按鈕 6", L"Button 6"},
    {L"開始", L"Start"},
    {L"投幣", L"Coin"},
    {L"系統離開", L"Sys exit"},
    {L"麻將", L"Mahjong"},
    {L"槓", L"Kan"},
    {L"聽", L"Reach"},
    {L"胡", L"Ron"},
    {L"點", L"Point"},
    {L"吃", L"Chi"},
    {L"碰", L"Pon"},
    {L"大", L"Big"},
    {L"小", L"Small"},
    {L"以分數計算", L"Take score"},
    {L"交換", L"Swap"},
    {L"確定", L"OK"},
    {L"取消", L"Cancel"},
    {L"依序設定", L"Assign all"},
    {L"停止", L"Stop"},
    {L"跳過", L"Skip"},
    {L"清除按鍵", L"Clear key"},
};

bool gEnglish = false;

const wchar_t* EnglishFor(const wchar_t* chinese) {
    for (const CaptionPair& pair : EnglishCaptions)
        if (lstrcmpW(chinese, pair.chinese) == 0)
            return pair.english;
    return nullptr;
}

// Several controls share the ID -1, so each window is matched by its caption.
void UseEnglishCaptionOf(HWND window) {
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, static_cast<int>(std::size(caption)));
    if (const wchar_t* english = EnglishFor(caption))
        SetWindowTextW(window, english);
}

constexpr int BothLayouts = -1;

// The system and exit keys, counted from the file's end, belong to both layouts.
int LayoutSetOf(int id) {
    if (const LayoutInput* input = InputOfAnyControl(id); input != nullptr && !input->fromEnd)
        return InputOfButton(StandardLayout, input->captureButton) != nullptr ? StandardLayout
                                                                              : MahjongLayout;
    if (id >= IDC_STANDARD_LABEL_FIRST && id <= IDC_PLAYER2_FRAME)
        return StandardLayout;
    return id >= IDC_MAHJONG_FRAME && id <= IDC_MAHJONG_LABEL_LAST ? MahjongLayout : BothLayouts;
}

BOOL CALLBACK ShowOrHide(HWND control, LPARAM parameter) {
    int set = LayoutSetOf(GetDlgCtrlID(control));
    bool shown = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    HDWP& batch = *reinterpret_cast<HDWP*>(parameter);
    if (set != BothLayouts && shown != (set == CurrentLayout()))
        batch = DeferWindowPos(batch, control, nullptr, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                                   (shown ? SWP_HIDEWINDOW : SWP_SHOWWINDOW));
    return TRUE;
}

// A band of the template that closes for a layout's set or for both, or an edge (`top` unused).
struct Band {
    int top, bottom, set;
};

// In dialog units; each closes down to the narrowest gap between two rows as scaled, the first two
// closer still when the frame would leave the lowest control below the work area.
std::vector<Band> Bands() {
    std::vector<Band> bands = {{0, 55, BothLayouts}, {82, 86, BothLayouts}};
    for (int top : {114, 129, 144, 159, 178, 193, 208, 223, 238, 253, 272, 287})
        bands.push_back({top, top == 159 || top == 253 ? top + 5 : top + 1, StandardLayout});
    for (int top = 110; top <= 290; top += 15)
        bands.push_back({top, top + 1, MahjongLayout});
    return bands;
}
// The lowest edge of each group: OK's, the player frames', the mahjong frame's.
constexpr Band LowestEdges[] = {{0, 307, BothLayouts}, {0, 309, StandardLayout}, {0, 310, MahjongLayout}};

struct Fit {
    std::vector<Band> bands;   // in pixels
    LONG keepCommon, keepRows; // pixels left of each band
};

int ToPixels(HWND dialog, int y) {
    RECT rect = {0, y, 0, y};
    MapDialogRect(dialog, &rect);
    return static_cast<int>(rect.top);
}

// How far an edge at `y` pixels moves up.
LONG MoveAt(const Fit& fit, LONG y, int set) {
    LONG pixels = 0;
    for (const Band& band : fit.bands)
        if (band.bottom <= y && (band.set == BothLayouts || band.set == set))
            pixels += std::max(0L, band.bottom - band.top -
                                       (band.set == BothLayouts ? fit.keepCommon : fit.keepRows));
    return pixels;
}

// Every control moves up by the bands above it, and a frame around a band gets shorter by it.
void MoveUp(HWND dialog, const Fit& fit) {
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        int set = LayoutSetOf(GetDlgCtrlID(control));
        RECT place;
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        LONG top = place.top - MoveAt(fit, place.top, set),
             bottom = place.bottom - MoveAt(fit, place.bottom, set);
        SetWindowPos(control, nullptr, place.left, top, place.right - place.left, bottom - top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

} // namespace

// One batch, moving only the controls whose visibility changes. (Under Wine the walk still asks the
// server once per control, for the control's own children.)
void ShowLayoutControls(HWND dialog) {
    HDWP batch = BeginDeferWindowPos(100);
    EnumChildWindows(dialog, ShowOrHide, reinterpret_cast<LPARAM>(&batch));
    EndDeferWindowPos(batch);
}

// The frame counted is the one the system draws.
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
    Fit fit = {Bands(), rowSpace, rowSpace};
    for (Band& band : fit.bands) // scaled once
        band = {ToPixels(dialog, band.top), ToPixels(dialog, band.bottom), band.set};
    POINT client = {0, 0};
    ClientToScreen(dialog, &client);
    LONG lowest = 0; // the lowest control's edge, with the window's top at the work area's
    for (const Band& edge : LowestEdges) {
        LONG y = ToPixels(dialog, edge.bottom);
        lowest = std::max(lowest, y - MoveAt(fit, y, edge.set));
    }
    if (LONG overflow = client.y - window.top + lowest - workHeight; overflow > 0)
        fit.keepCommon = std::max(0L, rowSpace - (overflow + 1) / 2);
    ShowWindow(GetDlgItem(dialog, IDC_BANNER), SW_HIDE);
    MoveUp(dialog, fit);
    height -= MoveAt(fit, LONG_MAX, BothLayouts);
    int top = height > workHeight ? work.top : std::max(work.top, std::min(window.top, work.bottom - height));
    SetWindowPos(dialog, nullptr, window.left, top, window.right - window.left, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool (*gCanShowChinese)() = [] {
    return IsValidLanguageGroup(LGRPID_TRADITIONAL_CHINESE, LGRPID_INSTALLED) != FALSE;
};

void UseEnglishCaptions(HWND dialog) {
    gEnglish = true;
    UseEnglishCaptionOf(dialog);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        UseEnglishCaptionOf(child);
}

const wchar_t* ShownCaption(const wchar_t* chinese) {
    const wchar_t* english = gEnglish ? EnglishFor(chinese) : nullptr;
    return english != nullptr ? english : chinese;
}
