#include "dialog/captures_win.h"

#include "dialog/dialog_template_win.h"
#include "dialog/settings_dialog_win.h"
#include "keys/held_keys.h"
#include "keys/key_capture.h"
#include "keys/keyboard_win.h"
#include "resources/resource.h"
#include "settings/layout_inputs.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::wstring KeyName(KeyCode code) {
    wchar_t name[255] = {};
    if (code != NoKey)
        KeyNameFromCode(code, name, static_cast<int>(std::size(name)));
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

void ShowInputKey(HWND dialog, const LayoutInput& input) {
    SetDlgItemTextW(dialog, input.keyField, KeyName(KeyOf(gSettings, input)).c_str());
}

void ClearInputKey(HWND dialog, const LayoutInput& input) {
    KeyOf(gSettings, input) = NoKey;
    ShowInputKey(dialog, input);
    ShowClashMarks(dialog);
}

// A menu asked for by the Menu key or Shift+F10 where an input has that key is a panel button's.
// Wine posts the Menu key's WM_CONTEXTMENU even when the dialog never had the key's own messages.
bool IsAskedByAPanelKey(LPARAM at) {
    const KeyCode menuKey = 0xDD, f10 = 0x44;
    std::vector<KeyCode> codes = CurrentInputCodes();
    return at == -1 && (IsPanelKey(menuKey, codes) || IsPanelKey(f10, codes));
}

constexpr UINT WM_KEYBOARD_SIGNALLED = WM_APP + 1;
constexpr UINT_PTR CaptureTimer = 1;
constexpr char CouldNotOpenKeyboardWarning[] = "Could not open the keyboard.";

bool gCaptureTimerRuns = false;

// The live key test: an owner presses a panel button and sees which input it is, or holds several
// and sees which ones the encoder drops.
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

// A disabled edit control draws its text grey whatever colour is asked for: a lit field is painted here.
LRESULT CALLBACK KeyFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && IsKeyFieldLit(GetDlgCtrlID(field))) {
        PaintLit(field);
        return 0;
    }
    return CallWindowProcW(gKeyFieldProc, field, message, wParam, lParam);
}

// One walk over the controls: under Wine each look-up of a control by its ID asks the server.
void LetKeyFieldsLight(HWND dialog) {
    gLitFields.clear();
    for (HWND field = GetWindow(dialog, GW_CHILD); field; field = GetWindow(field, GW_HWNDNEXT)) {
        const LayoutInput* input = InputOfAnyControl(GetDlgCtrlID(field));
        if (input == nullptr || input->keyField != GetDlgCtrlID(field))
            continue;
        auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(KeyFieldProc)));
        if (previous != KeyFieldProc)
            gKeyFieldProc = previous;
    }
}

// Only a field whose state changes is drawn again; the lists are in the order of the fields' IDs.
void ShowHeldKeys(HWND dialog, const KeySample* reading) {
    std::vector<int> lit, changed;
    std::span<const LayoutInput> inputs = CurrentInputs();
    std::vector<bool> held = reading != nullptr && gActive && !AnyCaptureRuns()
                                 ? HeldInputs(CurrentInputCodes(), *reading)
                                 : std::vector<bool>();
    for (size_t i = 0; i < held.size(); ++i)
        if (held[i])
            lit.push_back(inputs[i].keyField);
    std::set_symmetric_difference(lit.begin(), lit.end(), gLitFields.begin(), gLitFields.end(),
                                  std::back_inserter(changed));
    gLitFields = lit;
    for (int field : changed)
        InvalidateRect(GetDlgItem(dialog, field), nullptr, TRUE);
}

// The focus moves before the control that had it is disabled; behind another program it stays, or
// the dialog would come to the front.
void ShowSequenceRunning(HWND dialog, bool running) {
    if (running)
        KeepFocusOnDialog(dialog);
    else if (GetForegroundWindow() == dialog)
        FocusControl(dialog, IDC_ASSIGN_ALL);
    SetDlgItemTextW(dialog, IDC_ASSIGN_ALL, ShownCaption(running ? L"停止" : L"依序設定"));
    for (LayoutKind layout : {StandardLayout, MahjongLayout}) // no single capture runs beside it
        for (const LayoutInput& input : InputsOf(layout))
            EnableWindow(GetDlgItem(dialog, input.captureButton), !running);
    EnableWindow(GetDlgItem(dialog, IDC_MAHJONG_GAME), !running);
    EnableWindow(GetDlgItem(dialog, IDC_SKIP), running);
}

void ShowOnInput(HWND dialog, const CaptureEvent& event, const LayoutInput& input) {
    switch (event.kind) {
    case CaptureCountdown:
        SetDlgItemInt(dialog, input.keyField, static_cast<UINT>(event.value), FALSE);
        break;
    case CaptureKeyTaken:
        KeyOf(gSettings, input) = static_cast<KeyCode>(event.value);
        ShowInputKey(dialog, input);
        ShowClashMarks(dialog);
        break;
    case CaptureStopped:
        ShowInputKey(dialog, input);
        break;
    case CaptureSkipped:
        ClearInputKey(dialog, input);
        break;
    default:
        break;
    }
}

// A single capture that ends gives the focus back to its button, unless something took it meanwhile,
// another capture started or another program is in front.
void Show(HWND dialog, const CaptureEvents& events) {
    for (const CaptureEvent& event : events) {
        if (event.kind == SequenceEnded)
            ShowSequenceRunning(dialog, false);
        else if (const LayoutInput* input = InputOfAnyControl(event.input))
            ShowOnInput(dialog, event, *input);
        if (!event.inSequence && event.kind != CaptureCountdown && !SequenceRuns()) {
            EnableWindow(GetDlgItem(dialog, event.input), TRUE);
            if (GetFocus() == dialog && !AnyCaptureRuns() && GetForegroundWindow() == dialog)
                FocusControl(dialog, event.input);
        }
    }
    if (AnyCaptureRuns() != gCaptureTimerRuns) {
        gCaptureTimerRuns = AnyCaptureRuns();
        gCaptureTimerRuns ? SetTimer(dialog, CaptureTimer, CaptureStepMs, nullptr)
                          : KillTimer(dialog, CaptureTimer);
    }
}

bool EnsureKeyboardOpen(HWND dialog, bool warn) {
    if (IsKeyboardOpen() || OpenKeyboard(dialog, WM_KEYBOARD_SIGNALLED))
        return true;
    if (warn)
        ShowDialogWarning(dialog, CouldNotOpenKeyboardWarning);
    return false;
}

void ShowStartAndTakeSnapshot(HWND dialog, const CaptureEvents& events) {
    Show(dialog, events);
    ReadKeyboardNow(dialog);
}

// A button going down, or a double click: left, right, middle or X, on the client area or the frame.
bool IsMousePress(UINT message) {
    for (UINT firstMouseMessage : {WM_MOUSEMOVE, WM_NCMOUSEMOVE})
        for (UINT offset : {1, 3, 4, 6, 7, 9, 11, 13})
            if (message == firstMouseMessage + offset)
                return true;
    return false;
}

// A double click's second press finds its capture button disabled: it is found by the mouse's place.
bool IsOnSingleCaptureButton(HWND dialog) {
    POINT point;
    GetCursorPos(&point);
    for (const LayoutInput& input : CurrentInputs()) {
        RECT button;
        if (SingleCaptureRuns(input.captureButton) &&
            GetWindowRect(GetDlgItem(dialog, input.captureButton), &button) && PtInRect(&button, point))
            return true;
    }
    return false;
}

} // namespace

void OpenKeyboardForTheKeyTest(HWND dialog) {
    LetKeyFieldsLight(dialog);
    if (EnsureKeyboardOpen(dialog, false))
        ReadKeyboardNow(dialog);
}

// WM_SETCURSOR comes before every mouse press, over any control, enabled or not, and the frame.
bool OnCaptureMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CaptureEvents events;
    switch (message) {
    case WM_KEYBOARD_SIGNALLED:
        ReadKeyboardNow(dialog);
        return true;
    case WM_TIMER:
        if (wParam != CaptureTimer)
            return false;
        AcquireKeyboardIfLost();
        TickCaptures(GetTickCount(), events);
        Show(dialog, events);
        return true;
    case WM_SETCURSOR:
        if (IsMousePress(HIWORD(lParam)) && !IsOnSingleCaptureButton(dialog)) {
            StopSingleCapture(events);
            Show(dialog, events);
        }
        return false; // the cursor is set as ever
    default:
        return false;
    }
}

// The button is disabled while its capture runs, so a second click cannot start it again.
void StartSingleCaptureOn(HWND dialog, int captureButton, KeyCode startingKey) {
    if (!EnsureKeyboardOpen(dialog, true))
        return;
    CaptureEvents events;
    StartSingleCapture(captureButton, GetTickCount(), startingKey, events);
    KeepFocusOnDialog(dialog);
    EnableWindow(GetDlgItem(dialog, captureButton), FALSE);
    ShowStartAndTakeSnapshot(dialog, events);
}

void StartOrStopSequence(HWND dialog, KeyCode startingKey) {
    CaptureEvents events;
    if (SequenceRuns()) {
        StopSequence(events);
        Show(dialog, events);
        return;
    }
    if (!EnsureKeyboardOpen(dialog, true))
        return;
    std::vector<CaptureInput> order;
    for (const LayoutInput& input : CurrentInputs())
        order.push_back(input.captureButton);
    StartSequence(order, GetTickCount(), startingKey, events);
    ShowSequenceRunning(dialog, true);
    ShowStartAndTakeSnapshot(dialog, events);
}

// A click on 跳過 gave it the focus, where Space would click it.
void SkipSequenceStepOn(HWND dialog) {
    KeepFocusOnDialog(dialog);
    CaptureEvents events;
    SkipSequenceStep(GetTickCount(), events);
    ShowStartAndTakeSnapshot(dialog, events);
}

void EndAllCaptures(HWND dialog) {
    CaptureEvents events;
    StopAllCaptures(events);
    if (dialog != nullptr)
        Show(dialog, events);
    else
        gCaptureTimerRuns = false; // it went with the window
}

// The dialog, not a control (Space would click it) nor no window: Wine 10's DirectInput reads keys
// only while the program has the focus; Windows hands a program without it keys as system keys.
void KeepFocusOnDialog(HWND dialog) {
    SetFocus(dialog);
}

void ReadKeyboardNow(HWND dialog) {
    CaptureEvents events;
    KeySample reading;
    bool read = ReadKeyboardIntoCaptures(GetTickCount(), reading, events);
    Show(dialog, events);
    ShowHeldKeys(dialog, read ? &reading : nullptr);
}

void OnKeyTestActivation(HWND dialog, bool active) {
    gActive = active;
    if (!active)
        ShowHeldKeys(dialog, nullptr);
}

bool IsKeyFieldLit(int field) {
    return std::find(gLitFields.begin(), gLitFields.end(), field) != gLitFields.end();
}

void FocusControl(HWND dialog, int id) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
}

// Names once per distinct key (a default file has one in many fields), put into the new dialog's empty
// fields: under Wine a third of WM_SETTEXT's work. A long name's start is scrolled back into view.
void FillKeyFields(HWND dialog) {
    gMarkedButtons.clear();
    std::wstring names[KeyCodeCount];
    for (const LayoutInput& input : CurrentInputs()) {
        KeyCode code = KeyOf(gSettings, input);
        if (names[code].empty())
            names[code] = KeyName(code);
        HWND field = GetDlgItem(dialog, input.keyField);
        SendMessageW(field, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(names[code].c_str()));
        SendMessageW(field, EM_SETSEL, 0, 0);
        SendMessageW(field, EM_SCROLLCARET, 0, 0);
    }
}

void ShowClashMarks(HWND dialog) {
    std::span<const LayoutInput> inputs = CurrentInputs();
    std::vector<bool> clashing = ClashingInputs(CurrentInputCodes());
    for (size_t i = 0; i < inputs.size(); ++i)
        SetClashMark(dialog, inputs[i].captureButton, clashing[i]);
}

// Checked again once the menu closes: a sequence may have started meanwhile.
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
