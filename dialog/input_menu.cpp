#include "dialog/input_menu.h"

#include "dialog/capture_sequence.h"
#include "dialog/clash_marks.h"
#include "dialog/fallback_captions.h"
#include "dialog/key_fields.h"
#include "resources/resource.h"

#include <algorithm>
#include <vector>

namespace {

// A capture button of the current layout's inputs, or 0.
int InputButtonOf(HWND dialog, HWND window) {
    if (window == nullptr || GetParent(window) != dialog)
        return 0;
    std::vector<int> buttons = InputButtons();
    int id = GetDlgCtrlID(window);
    return std::find(buttons.begin(), buttons.end(), id) != buttons.end() ? id : 0;
}

POINT MenuPlace(HWND button, LPARAM at) {
    POINT place = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (at == -1) {
        RECT rect;
        GetWindowRect(button, &rect);
        place = {rect.left, rect.bottom};
    }
    return place;
}

bool ChoseClearKey(HWND dialog, POINT place) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return false;
    AppendMenuW(menu, MF_STRING, IDM_CLEAR_KEY, ShownCaption(L"清除按鍵"));
    UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, place.x, place.y, 0, dialog, nullptr));
    DestroyMenu(menu);
    return chosen == IDM_CLEAR_KEY;
}

} // namespace

// A button is disabled while its own capture runs; the state is checked again once the menu closes,
// since a sequence may have started meanwhile.
bool OnInputContextMenu(HWND dialog, HWND window, LPARAM at) {
    int button = InputButtonOf(dialog, window);
    if (button == 0)
        return false;
    if (!IsWindowEnabled(window) || SequenceRuns())
        return true;
    if (ChoseClearKey(dialog, MenuPlace(window, at)) && IsWindowEnabled(window) && !SequenceRuns())
        ClearInputKey(dialog, button);
    return true;
}
