#include "dialog/key_fields_win.h"

#include "dialog/fallback_captions_win.h"
#include "keys/held_keys.h"
#include "keys/key_capture.h"
#include "resources/resource.h"

#include <algorithm>
#include <string>

namespace {

constexpr int KeyNameCapacity = 255;

std::wstring KeyName(KeyCode code) {
    wchar_t name[KeyNameCapacity] = {};
    if (code != NoKey)
        KeyNameFromCode(code, name, KeyNameCapacity);
    return name;
}

// The buttons marked now: only a mark that changes is set, one server call each under Wine.
std::vector<int> gMarkedButtons;

void SetClashMark(HWND dialog, int button, bool clashing) {
    auto marked = std::find(gMarkedButtons.begin(), gMarkedButtons.end(), button);
    if (clashing == (marked != gMarkedButtons.end()))
        return;
    clashing ? gMarkedButtons.push_back(button) : void(gMarkedButtons.erase(marked));
    SetDlgItemTextW(dialog, button, clashing ? L"!" : L"");
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

void ShowInputKey(HWND dialog, const LayoutInput& input) {
    SetDlgItemTextW(dialog, input.keyField, KeyName(KeyOf(gSettings, input)).c_str());
}

// A default file has one key in many fields. The dialog is new: no button has a mark.
void FillKeyFields(HWND dialog) {
    gMarkedButtons.clear();
    std::wstring names[KeyCodeCount];
    for (const LayoutInput& input : CurrentInputs()) {
        KeyCode code = KeyOf(gSettings, input);
        if (names[code].empty())
            names[code] = KeyName(code);
        SetDlgItemTextW(dialog, input.keyField, names[code].c_str());
    }
}

void ClearInputKey(HWND dialog, const LayoutInput& input) {
    KeyOf(gSettings, input) = NoKey;
    ShowInputKey(dialog, input);
    ShowClashMarks(dialog);
}

void ShowClashMarks(HWND dialog) {
    std::span<const LayoutInput> inputs = CurrentInputs();
    std::vector<bool> clashing = ClashingInputs(CurrentInputCodes());
    for (size_t i = 0; i < inputs.size(); ++i)
        SetClashMark(dialog, inputs[i].captureButton, clashing[i]);
}

// A button is disabled while its own capture runs; the state is checked again once the menu closes,
// since a sequence may have started meanwhile. A menu asked for from the keyboard opens below the
// button.
bool OnInputContextMenu(HWND dialog, HWND window, LPARAM at) {
    const LayoutInput* input = window != nullptr && GetParent(window) == dialog
                                   ? InputOfButton(CurrentLayout(), GetDlgCtrlID(window))
                                   : nullptr;
    if (input == nullptr)
        return false;
    if (!IsWindowEnabled(window) || SequenceRuns() || IsAskedByAPanelKey(at))
        return true;
    RECT button;
    GetWindowRect(window, &button);
    POINT place = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (at == -1)
        place = {button.left, button.bottom};
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, IDM_CLEAR_KEY, ShownCaption(L"清除按鍵"));
    BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, place.x, place.y, 0, dialog, nullptr);
    DestroyMenu(menu);
    if (chosen == IDM_CLEAR_KEY && IsWindowEnabled(window) && !SequenceRuns())
        ClearInputKey(dialog, *input);
    return true;
}
