#include "dialog/input_menu_win.h"

#include "dialog/fallback_captions_win.h"
#include "dialog/key_fields_win.h"
#include "keys/held_keys.h"
#include "keys/key_capture.h"
#include "resources/resource.h"
#include "settings/layout_inputs.h"

namespace {

// The input whose capture button of the current layout the window is, or null.
const LayoutInput* InputOfWindow(HWND dialog, HWND window) {
    if (window == nullptr || GetParent(window) != dialog)
        return nullptr;
    return InputOfButton(CurrentLayout(), GetDlgCtrlID(window));
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

// A menu asked for from the keyboard, on the focused button, by the Menu key or Shift+F10. Where an
// input has that key it is a panel button, which opens nothing: Wine posts the Menu key's
// WM_CONTEXTMENU as the key comes up, even when the dialog is never handed the key's own messages
// (a capture that took the key gives the focus back to its button first).
bool IsAskedByAPanelKey(LPARAM at) {
    const KeyCode menuKey = 0xDD, f10 = 0x44;
    std::vector<KeyCode> codes = CurrentInputCodes();
    return at == -1 && (IsPanelKey(menuKey, codes) || IsPanelKey(f10, codes));
}

} // namespace

// A button is disabled while its own capture runs; the state is checked again once the menu closes,
// since a sequence may have started meanwhile.
bool OnInputContextMenu(HWND dialog, HWND window, LPARAM at) {
    const LayoutInput* input = InputOfWindow(dialog, window);
    if (input == nullptr)
        return false;
    if (!IsWindowEnabled(window) || SequenceRuns() || IsAskedByAPanelKey(at))
        return true;
    if (ChoseClearKey(dialog, MenuPlace(window, at)) && IsWindowEnabled(window) && !SequenceRuns())
        ClearInputKey(dialog, *input);
    return true;
}
