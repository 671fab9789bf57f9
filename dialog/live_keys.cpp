// The live key test: fields lit while their inputs' keys are held.
#include "dialog/live_keys.h"

#include "dialog/capture_sequence.h"
#include "dialog/clash_marks.h"
#include "keys/capture_target.h"
#include "keys/held_keys.h"
#include "keys/keyboard.h"
#include "resources/resource.h"

#include <algorithm>
#include <iterator>

namespace {

// About 33 readings a second, so a press shows at once; only while the dialog is active.
constexpr UINT KeyTestIntervalMs = 30;
constexpr int FieldCount = IDC_EXIT_KEY - IDC_STANDARD_KEY_FIRST + 1;

bool gLit[FieldCount] = {};
WNDPROC gKeyFieldProc = nullptr;

bool IsKeyField(int id) {
    return id >= IDC_STANDARD_KEY_FIRST && id <= IDC_EXIT_KEY;
}

void PaintLit(HWND field) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(field, &paint);
    RECT client, text;
    GetClientRect(field, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_HIGHLIGHT));
    SendMessageW(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    wchar_t name[256] = {};
    GetWindowTextW(field, name, 256);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(field, WM_GETFONT, 0, 0)));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, name, -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, font);
    EndPaint(field, &paint);
}

// A disabled edit control draws its text grey whatever colour its parent asks for, so a lit field
// is painted here.
LRESULT CALLBACK KeyFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && IsKeyFieldLit(GetDlgCtrlID(field))) {
        PaintLit(field);
        return 0;
    }
    return CallWindowProcW(gKeyFieldProc, field, message, wParam, lParam);
}

BOOL CALLBACK LetKeyFieldLight(HWND control, LPARAM) {
    if (!IsKeyField(GetDlgCtrlID(control)))
        return TRUE;
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeyFieldProc)));
    if (previous != KeyFieldProc)
        gKeyFieldProc = previous;
    return TRUE;
}

// Only a field whose state changes is looked up: under Wine each look-up asks the server for the
// dialog's list of controls.
void SetLit(HWND dialog, int field, bool lit) {
    bool& now = gLit[field - IDC_STANDARD_KEY_FIRST];
    if (now == lit)
        return;
    now = lit;
    if (HWND control = GetDlgItem(dialog, field))
        InvalidateRect(control, nullptr, TRUE);
}

// The fields to light: none while the dialog is not the active window or a capture runs.
void FindLitFields(HWND dialog, bool lit[FieldCount]) {
    if (GetForegroundWindow() != dialog || CaptureRuns())
        return;
    std::vector<int> buttons = InputButtons();
    KeySample now = {};
    if (!ReadKeyboard(now))
        return;
    std::vector<bool> held = HeldInputs(CodesOfInputs(buttons), now);
    for (size_t i = 0; i < buttons.size(); ++i)
        lit[KeyFieldOfButton(buttons[i]) - IDC_STANDARD_KEY_FIRST] = held[i];
}

} // namespace

void LetKeyFieldsLight(HWND dialog) {
    std::fill(std::begin(gLit), std::end(gLit), false);
    EnumChildWindows(dialog, LetKeyFieldLight, 0);
}

void OnKeyTestTimer(HWND dialog) {
    bool lit[FieldCount] = {};
    FindLitFields(dialog, lit);
    for (int i = 0; i < FieldCount; ++i)
        SetLit(dialog, IDC_STANDARD_KEY_FIRST + i, lit[i]);
}

void OnKeyTestActivation(HWND dialog, bool active) {
    if (active) {
        SetTimer(dialog, KeyTestTimer, KeyTestIntervalMs, nullptr);
        return;
    }
    KillTimer(dialog, KeyTestTimer);
    OnKeyTestTimer(dialog); // unlights every field: the dialog is no longer in front
}

bool IsKeyFieldLit(int field) {
    return IsKeyField(field) && gLit[field - IDC_STANDARD_KEY_FIRST];
}
