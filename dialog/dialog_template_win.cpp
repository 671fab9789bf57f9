// Layout switching: each layout's set is its slots' key fields and capture buttons (the inputs'
// table) with its labels and frames; the system and exit keys belong to both.
#include "dialog/dialog_template_win.h"

#include "resources/resource.h"
#include "settings/layout_inputs.h"

namespace {

bool IsSlotControl(LayoutKind layout, int id) {
    for (const LayoutInput& input : SlotsOf(layout))
        if (input.keyField == id || input.captureButton == id)
            return true;
    return false;
}

} // namespace

bool IsInLayoutSet(int id, LayoutKind& layout) {
    if (IsSlotControl(StandardLayout, id) || (id >= IDC_STANDARD_LABEL_FIRST && id <= IDC_PLAYER2_FRAME)) {
        layout = StandardLayout;
        return true;
    }
    if (IsSlotControl(MahjongLayout, id) || (id >= IDC_MAHJONG_FRAME && id <= IDC_MAHJONG_LABEL_LAST)) {
        layout = MahjongLayout;
        return true;
    }
    return false;
}

void ShowLayoutControls(HWND dialog) {
    LayoutKind shown = CurrentLayout(), layout = StandardLayout;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
        if (IsInLayoutSet(GetDlgCtrlID(control), layout))
            ShowWindow(control, layout == shown ? SW_SHOWNORMAL : SW_HIDE);
}
