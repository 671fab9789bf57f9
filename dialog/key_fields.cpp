#include "dialog/key_fields.h"

#include "dialog/clash_marks.h"
#include "keys/capture_target.h"
#include "keys/key_codes.h"

namespace {

constexpr int KeyNameCapacity = 255;

} // namespace

void ShowKeyName(HWND dialog, int field, uint8_t code) {
    wchar_t name[KeyNameCapacity] = {};
    if (code != 0)
        KeyNameFromCode(code, name, KeyNameCapacity);
    SetDlgItemTextW(dialog, field, name);
}

void ClearInputKey(HWND dialog, int button) {
    if (KeyCode* target = CaptureTarget(button))
        WriteShared(*target, 0);
    ShowKeyName(dialog, KeyFieldOfButton(button), 0);
    ShowClashMarks(dialog);
}
