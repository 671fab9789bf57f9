// The live key test: fields lit while their inputs' keys are held.
#include "dialog/live_keys_win.h"

#include "keys/held_keys.h"
#include "keys/key_capture.h"
#include "settings/layout_inputs.h"

#include <algorithm>
#include <vector>

namespace {

bool gActive = false;
std::vector<int> gLitFields;
WNDPROC gKeyFieldProc = nullptr;

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

bool IsKeyField(int id) {
    const LayoutInput* input = InputOfAnyControl(id);
    return input != nullptr && input->keyField == id;
}

// One walk over the controls: under Wine each look-up of a control by its ID asks the server.
BOOL CALLBACK LetKeyFieldLight(HWND field, LPARAM) {
    if (!IsKeyField(GetDlgCtrlID(field)))
        return TRUE;
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeyFieldProc)));
    if (previous != KeyFieldProc)
        gKeyFieldProc = previous;
    return TRUE;
}

// The fields to light: none while the dialog is not the active window or a capture runs.
std::vector<int> FindLitFields(const KeySample* reading) {
    std::vector<int> lit;
    if (!gActive || AnyCaptureRuns() || reading == nullptr)
        return lit;
    std::span<const LayoutInput> inputs = CurrentInputs();
    std::vector<bool> held = HeldInputs(CurrentInputCodes(), *reading);
    for (size_t i = 0; i < inputs.size(); ++i)
        if (held[i])
            lit.push_back(inputs[i].keyField);
    return lit;
}

// Only a field whose state changes is looked up.
void Repaint(HWND dialog, const std::vector<int>& fields, const std::vector<int>& unless) {
    for (int field : fields)
        if (std::find(unless.begin(), unless.end(), field) == unless.end())
            if (HWND control = GetDlgItem(dialog, field))
                InvalidateRect(control, nullptr, TRUE);
}

} // namespace

void LetKeyFieldsLight(HWND dialog) {
    gLitFields.clear();
    EnumChildWindows(dialog, LetKeyFieldLight, 0);
}

void ShowHeldKeys(HWND dialog, const KeySample* reading) {
    std::vector<int> lit = FindLitFields(reading);
    std::swap(lit, gLitFields);
    Repaint(dialog, lit, gLitFields);
    Repaint(dialog, gLitFields, lit);
}

void OnKeyTestActivation(HWND dialog, bool active) {
    gActive = active;
    if (!active)
        ShowHeldKeys(dialog, nullptr);
}

bool IsKeyFieldLit(int field) {
    return std::find(gLitFields.begin(), gLitFields.end(), field) != gLitFields.end();
}
