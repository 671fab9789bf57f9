// Layout switching: the standard set (key rows 2000-2025, 3000-3025, labels and frames 4020-4034)
// and the mahjong set (2026-2053, 3026-3053, frame and labels 4035-4063).
#include "dialog/dialog_template.h"

#include "resources/resource.h"
#include "settings/settings.h"

namespace {

void ShowRange(HWND dialog, int first, int last, bool visible) {
    for (int id = first; id <= last; ++id)
        ShowWindow(GetDlgItem(dialog, id), visible ? SW_SHOWNORMAL : SW_HIDE);
}

void ShowKeyRows(HWND dialog, int firstSlot, int count, bool visible) {
    ShowRange(dialog, IDC_STANDARD_KEY_FIRST + firstSlot, IDC_STANDARD_KEY_FIRST + firstSlot + count - 1,
              visible);
    ShowRange(dialog, IDC_STANDARD_CAPTURE_FIRST + firstSlot,
              IDC_STANDARD_CAPTURE_FIRST + firstSlot + count - 1, visible);
}

bool InRange(int id, int first, int count) {
    return id >= first && id < first + count;
}

} // namespace

bool IsInLayoutSet(int id, LayoutKind& layout) {
    int count = static_cast<int>(StandardKeyCount);
    if (InRange(id, IDC_STANDARD_KEY_FIRST, count) || InRange(id, IDC_STANDARD_CAPTURE_FIRST, count) ||
        (id >= IDC_STANDARD_LABEL_FIRST && id <= IDC_PLAYER2_FRAME)) {
        layout = StandardLayout;
        return true;
    }
    count = static_cast<int>(MahjongKeyCount);
    if (InRange(id, IDC_MAHJONG_KEY_FIRST, count) || InRange(id, IDC_MAHJONG_CAPTURE_FIRST, count) ||
        (id >= IDC_MAHJONG_FRAME && id <= IDC_MAHJONG_LABEL_LAST)) {
        layout = MahjongLayout;
        return true;
    }
    return false;
}

void ShowLayoutControls(HWND dialog) {
    bool mahjong = CurrentLayout() == MahjongLayout;
    ShowKeyRows(dialog, 0, StandardKeyCount, !mahjong);
    ShowKeyRows(dialog, IDC_MAHJONG_KEY_FIRST - IDC_STANDARD_KEY_FIRST, MahjongKeyCount, mahjong);
    ShowRange(dialog, IDC_STANDARD_LABEL_FIRST, IDC_PLAYER2_FRAME, !mahjong);
    ShowRange(dialog, IDC_MAHJONG_FRAME, IDC_MAHJONG_LABEL_LAST, mahjong);
}
