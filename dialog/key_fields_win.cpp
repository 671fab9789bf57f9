#include "dialog/key_fields_win.h"

#include "dialog/clash_marks_win.h"

namespace {

constexpr int KeyNameCapacity = 255;

// Nothing for NoKey.
void ShowKeyName(HWND dialog, int field, KeyCode code) {
    wchar_t name[KeyNameCapacity] = {};
    if (code != NoKey)
        KeyNameFromCode(code, name, KeyNameCapacity);
    SetDlgItemTextW(dialog, field, name);
}

} // namespace

void ShowInputKey(HWND dialog, const LayoutInput& input) {
    ShowKeyName(dialog, input.keyField, KeyOf(gSettings, input));
}

void ClearInputKey(HWND dialog, const LayoutInput& input) {
    KeyOf(gSettings, input) = NoKey;
    ShowInputKey(dialog, input);
    ShowClashMarks(dialog);
}
