// The settings dialog: filled from the settings record when it opens, option boxes kept in step with
// the record, captures started from the small buttons, and the end of the program's only window on
// OK (after saving), Cancel or close.
#include "dialog/settings_dialog.h"

#include "dialog/accessibility_shortcuts_win.h"
#include "dialog/capture_sequence.h"
#include "dialog/clash_marks.h"
#include "dialog/dialog_template.h"
#include "dialog/driver_path.h"
#include "dialog/fallback_captions.h"
#include "dialog/input_menu.h"
#include "dialog/key_fields.h"
#include "dialog/live_keys.h"
#include "dialog/session_beep.h"
#include "dialog/small_screen.h"
#include "keys/capture_target.h"
#include "keys/key_capture.h"
#include "keys/key_codes.h"
#include "keys/keyboard.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/settings_win.h"

namespace {

// The path text as the fill left it in its field: while the field still holds it, OK keeps the
// loaded bytes as they are, including bytes the code page cannot show.
std::wstring gFilledDriverPath;

bool IsOn(const uint8_t& flag) {
    return ReadShared(flag) == 1;
}

HANDLE LoadAppIcon(int widthMetric, int heightMetric) {
    return LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                      GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR);
}

// At the system's sizes, which grow with its DPI, so the icons are not stretched.
void SetWindowIcons(HWND dialog) {
    HANDLE big = LoadAppIcon(SM_CXICON, SM_CYICON);
    HANDLE small = LoadAppIcon(SM_CXSMICON, SM_CYSMICON);
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
}

void SetOption(HWND dialog, int id, bool enabled, bool checked) {
    EnableWindow(GetDlgItem(dialog, id), enabled);
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

// The mahjong, four-way and square boxes as the record's flags say, by the table:
// mahjong: 1003 and 1004 disabled and unchecked; standard: 1003 enabled and checked with the
// four-way flag, 1004 enabled only with the four-way flag and checked with the square flag too.
void ShowOptionStates(HWND dialog) {
    bool mahjong = CurrentLayout() == MahjongLayout;
    bool fourWay = !mahjong && IsOn(gSettings.fourWayFlag);
    CheckDlgButton(dialog, IDC_MAHJONG_GAME, mahjong ? BST_CHECKED : BST_UNCHECKED);
    SetOption(dialog, IDC_FOUR_WAY, !mahjong, fourWay);
    SetOption(dialog, IDC_SQUARE, fourWay, fourWay && IsOn(gSettings.squareFlag));
}

std::wstring ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

void FillDriverPath(HWND dialog) {
    DriverPathBytes bytes;
    for (uint32_t i = 0; i < DriverPathSize; ++i)
        bytes[i] = ReadShared(gSettings.driverPath[i]);
    SetDlgItemTextW(dialog, IDC_DRIVER_PATH, DriverPathText(bytes).c_str());
    gFilledDriverPath = ControlText(dialog, IDC_DRIVER_PATH);
}

void FillKeyFields(HWND dialog) {
    if (CurrentLayout() == MahjongLayout) {
        for (size_t i = 0; i < MahjongKeyCount; ++i)
            ShowKeyName(dialog, IDC_MAHJONG_KEY_FIRST + int(i), ReadShared(gSettings.mahjongKeys[i]));
    } else {
        for (size_t i = 0; i < StandardKeyCount; ++i)
            ShowKeyName(dialog, IDC_STANDARD_KEY_FIRST + int(i), ReadShared(gSettings.standardKeys[i]));
    }
    ShowKeyName(dialog, IDC_SYSTEM_KEY, ReadShared(gSettings.systemKey));
    ShowKeyName(dialog, IDC_EXIT_KEY, ReadShared(gSettings.exitKey));
}

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void OnMahjongGame(HWND dialog) {
    if (IsChecked(dialog, IDC_MAHJONG_GAME)) {
        WriteShared(gSettings.mahjongFlag, 1);
        WriteShared(gSettings.fourWayFlag, 0);
        WriteShared(gSettings.squareFlag, 0);
    } else {
        WriteShared(gSettings.mahjongFlag, 0);
    }
    ShowOptionStates(dialog);
    ShowLayoutControls(dialog);
    ShowClashMarks(dialog);
}

void OnFourWay(HWND dialog) {
    if (IsChecked(dialog, IDC_FOUR_WAY)) {
        WriteShared(gSettings.fourWayFlag, 1);
    } else {
        WriteShared(gSettings.fourWayFlag, 0);
        WriteShared(gSettings.squareFlag, 0);
    }
    ShowOptionStates(dialog);
}

void OnCaptureButton(HWND dialog, int id) {
    if (CaptureTarget(id) == nullptr)
        return;
    // Disabled here rather than by the worker, so a second click cannot start a second capture. The
    // focus that the click gave it goes first: no control keeps it while a capture runs.
    SetFocus(nullptr);
    EnableWindow(GetDlgItem(dialog, id), FALSE);
    if (StartCapture({dialog, id, 0}))
        NoteSingleCapture(id, true);
    else
        EnableWindow(GetDlgItem(dialog, id), TRUE);
}

// Puts an edited path into the record; the warning, and false, when it cannot be stored.
bool StoreDriverPath(HWND dialog) {
    std::wstring text = ControlText(dialog, IDC_DRIVER_PATH);
    if (text == gFilledDriverPath)
        return true;
    DriverPathBytes bytes;
    PathStoring result = TextToDriverPath(text, bytes);
    if (result != PathStored) {
        gWarningOwner = dialog;
        gShowWarning(result == PathTooLong ? PathTooLongWarning : PathCharactersWarning);
        gWarningOwner = nullptr;
        return false;
    }
    for (uint32_t i = 0; i < DriverPathSize; ++i)
        WriteShared(gSettings.driverPath[i], bytes[i]);
    return true;
}

void EndSettingsDialog(HWND dialog, int result) {
    EndDialog(dialog, result);
    DestroyWindow(dialog);
    PostQuitMessage(0);
}

// The path warning is the dialog's own: Windows disables the dialog while the box is up and hands
// the activation back to it when the box closes, so the corrected path is typed into the dialog,
// not into the window an ownerless box would leave active. The save's warnings have no owner, so
// the dialog is disabled by hand while one is up: a second OK behind it would start a second save.
// A refused save (a read-only or locked file, a folder the user may not write) keeps the dialog and
// every key of this visit: the user can remove the cause and press OK again, or leave.
void OnOk(HWND dialog) {
    if (!StoreDriverPath(dialog)) {
        SetFocus(GetDlgItem(dialog, IDC_DRIVER_PATH));
        return;
    }
    EnableWindow(dialog, FALSE);
    if (SaveSettings()) {
        EndSettingsDialog(dialog, IDOK);
        return;
    }
    EnableWindow(dialog, TRUE);
    SetForegroundWindow(dialog);
    SetFocus(GetDlgItem(dialog, IDOK));
}

// The dialog manager turns Escape into Cancel; only a click on Cancel closes the dialog. The key's
// state as of the message being handled tells the two apart, however late the message is handled;
// the asynchronous state would also count an Escape pressed long before the click.
void OnCancel(HWND dialog) {
    if (GetKeyState(VK_ESCAPE) & 0x8000)
        return;
    EndSettingsDialog(dialog, IDCANCEL);
}

void OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDC_MAHJONG_GAME:
        OnMahjongGame(dialog);
        break;
    case IDC_FOUR_WAY:
        OnFourWay(dialog);
        break;
    case IDC_SQUARE:
        WriteShared(gSettings.squareFlag, IsChecked(dialog, IDC_SQUARE) ? 1 : 0);
        break;
    case IDC_LOW_RESOLUTION:
        WriteShared(gSettings.lowResolutionFlag, IsChecked(dialog, IDC_LOW_RESOLUTION) ? 1 : 0);
        break;
    case IDOK:
        OnOk(dialog);
        break;
    case IDCANCEL:
        OnCancel(dialog);
        break;
    case IDC_ASSIGN_ALL:
        SequenceRuns() ? StopSequence(dialog) : StartSequence(dialog);
        break;
    case IDC_SKIP:
        SkipSequenceStep(dialog);
        break;
    default:
        if (id >= IDC_STANDARD_CAPTURE_FIRST && id < IDC_STANDARD_CAPTURE_FIRST + 100)
            OnCaptureButton(dialog, id);
        break;
    }
}

void OnCaptureCountdown(HWND dialog, int button, LPARAM step) {
    wchar_t text[16];
    wsprintfW(text, L"%d", static_cast<int>(step));
    SetDlgItemTextW(dialog, KeyFieldOfButton(button), text);
}

void OnCaptureFinished(HWND dialog, int button, LPARAM result) {
    if (result & CaptureFinishedWithKey) {
        ShowKeyName(dialog, KeyFieldOfButton(button), static_cast<KeyCode>(result & 0xFF));
        ShowClashMarks(dialog);
    }
    if (SequenceOfCaptureResult(result) != 0) {
        OnSequenceStepFinished(dialog, button, result);
        return;
    }
    NoteSingleCapture(button, false);
    if (!SequenceRuns())
        EnableWindow(GetDlgItem(dialog, button), TRUE);
}

// Alt or F10 pressed alone while no control has the focus (during a capture, when Alt may well be
// the key being assigned) would put the window into menu mode, which eats the next click or key.
// The dialog has no menu bar; Alt+Space still opens the system menu.
BOOL IgnoreKeyMenu(HWND dialog, WPARAM command, LPARAM key) {
    if ((command & 0xFFF0) != SC_KEYMENU || key != 0)
        return FALSE;
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
    return TRUE;
}

// The panel's keys are tested only while the dialog is in front, and only then are Windows'
// accessibility shortcuts, which the panel would set off, switched off.
void OnActivation(HWND dialog, bool active) {
    OnKeyTestActivation(dialog, active);
    active ? SwitchAccessibilityShortcutsOff() : RestoreAccessibilityShortcuts();
}

} // namespace

void FillDialog(HWND dialog) {
    FillDriverPath(dialog);
    CheckDlgButton(dialog, IDC_LOW_RESOLUTION,
                   IsOn(gSettings.lowResolutionFlag) ? BST_CHECKED : BST_UNCHECKED);
    ShowOptionStates(dialog);
    FillKeyFields(dialog);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SwitchSessionBeepOff();
        SetWindowIcons(dialog);
        if (!gCanShowChinese())
            UseEnglishCaptions(dialog);
        FillDialog(dialog);
        ShowLayoutControls(dialog);
        ShowClashMarks(dialog);
        FitToWorkArea(dialog);
        LetKeyFieldsLight(dialog);
        OpenKeyboard(dialog);
        ShowWindow(dialog, SW_SHOW);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CAPTURE_COUNTDOWN:
        OnCaptureCountdown(dialog, static_cast<int>(wParam), lParam);
        return TRUE;
    case WM_CAPTURE_FINISHED:
        OnCaptureFinished(dialog, static_cast<int>(wParam), lParam);
        return TRUE;
    case WM_ACTIVATE:
        OnActivation(dialog, LOWORD(wParam) != WA_INACTIVE);
        return FALSE; // the dialog manager still saves and restores the focus
    case WM_TIMER:
        if (wParam == KeyTestTimer)
            OnKeyTestTimer(dialog);
        return TRUE;
    case WM_CONTEXTMENU:
        return OnInputContextMenu(dialog, reinterpret_cast<HWND>(wParam), lParam);
    case WM_SYSCOMMAND:
        return IgnoreKeyMenu(dialog, wParam, lParam);
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        StopSequence(nullptr);
        CloseKeyboard();
        RestoreAccessibilityShortcuts();
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}
