// The settings dialog, and what it switches off for the session while it is up: the beep and the
// accessibility shortcuts.
#include "dialog/settings_dialog_win.h"

#include "dialog/captures_win.h"
#include "dialog/dialog_template_win.h"
#include "dialog/option_boxes.h"
#include "keys/held_keys.h"
#include "keys/key_capture.h"
#include "keys/keyboard_win.h"
#include "resources/resource.h"
#include "settings/layout_inputs.h"
#include "settings/settings_win.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>

SystemParametersCall gAccessibilityParameters = SystemParametersInfoW;

namespace {

// The user's beep is the profile's, which the session-only switch never writes. Every copy with the
// beep off holds one named event, which lives while any copy holds it; the system closes a killed
// copy's handle. A copy refused the event (another runs elevated) leaves the beep as it is.
constexpr wchar_t CopiesName[] = L"Local\\OrvaneConfig.BeepOff";

HANDLE gBeepOff = nullptr; // held while this copy has the beep off
BOOL gLiveBeep = TRUE;     // as this copy found it: the setting of a profile that holds none

BOOL UserBeep() {
    wchar_t value[8] = {};
    DWORD size = sizeof value - sizeof(wchar_t), type = 0;
    HKEY sound = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Sound", 0, KEY_QUERY_VALUE, &sound) ==
        ERROR_SUCCESS) {
        if (RegQueryValueExW(sound, L"Beep", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
                ERROR_SUCCESS ||
            type != REG_SZ)
            value[0] = L'\0';
        RegCloseKey(sound);
    }
    return lstrcmpiW(value, L"yes") == 0 ? TRUE : lstrcmpiW(value, L"no") == 0 ? FALSE : gLiveBeep;
}

void SwitchSessionBeepOff() {
    if (gBeepOff != nullptr)
        return;
    SystemParametersInfoW(SPI_GETBEEP, 0, &gLiveBeep, 0);
    gBeepOff = CreateEventW(nullptr, TRUE, FALSE, CopiesName);
    if (gBeepOff != nullptr)
        SystemParametersInfoW(SPI_SETBEEP, FALSE, nullptr, 0);
}

bool AnotherCopyHasTheBeepOff() {
    HANDLE another = OpenEventW(SYNCHRONIZE, FALSE, CopiesName);
    if (another != nullptr)
        CloseHandle(another);
    return another != nullptr || GetLastError() != ERROR_FILE_NOT_FOUND;
}

// STICKYKEYS, FILTERKEYS and TOGGLEKEYS start alike; FILTERKEYS, the largest, holds any of them.
struct Shortcut {
    UINT get, set, size;
    FILTERKEYS saved;
    bool switchedOff;
};
static_assert(SKF_HOTKEYACTIVE == FKF_HOTKEYACTIVE && FKF_HOTKEYACTIVE == TKF_HOTKEYACTIVE &&
              SKF_CONFIRMHOTKEY == FKF_CONFIRMHOTKEY && FKF_CONFIRMHOTKEY == TKF_CONFIRMHOTKEY &&
              SKF_STICKYKEYSON == FKF_FILTERKEYSON && FKF_FILTERKEYSON == TKF_TOGGLEKEYSON);

Shortcut gShortcuts[] = {{SPI_GETSTICKYKEYS, SPI_SETSTICKYKEYS, sizeof(STICKYKEYS), {}, false},
                         {SPI_GETFILTERKEYS, SPI_SETFILTERKEYS, sizeof(FILTERKEYS), {}, false},
                         {SPI_GETTOGGLEKEYS, SPI_SETTOGGLEKEYS, sizeof(TOGGLEKEYS), {}, false}};

// A feature that is off loses its shortcut; one that is on is left alone, since someone uses it.
// Nothing is written to the profile (no SPIF_UPDATEINIFILE).
void SwitchAccessibilityShortcutsOff() {
    for (Shortcut& shortcut : gShortcuts) {
        FILTERKEYS state = {shortcut.size, 0, 0, 0, 0, 0};
        if (shortcut.switchedOff || !gAccessibilityParameters(shortcut.get, shortcut.size, &state, 0) ||
            (state.dwFlags & SKF_STICKYKEYSON))
            continue;
        FILTERKEYS quiet = state;
        quiet.dwFlags &= ~(SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);
        if (quiet.dwFlags != state.dwFlags &&
            gAccessibilityParameters(shortcut.set, shortcut.size, &quiet, 0))
            shortcut = {shortcut.get, shortcut.set, shortcut.size, state, true};
    }
}

void RestoreAccessibilityShortcuts() {
    for (Shortcut& shortcut : gShortcuts)
        if (std::exchange(shortcut.switchedOff, false))
            gAccessibilityParameters(shortcut.set, shortcut.size, &shortcut.saved, 0);
}

// While the field holds the loaded text, OK keeps the loaded bytes, even those it cannot show.
std::wstring gFilledDriverPath;
HWND gWarningOwner = nullptr;
// The key whose message the dialog is handling: a capture it starts passes it over.
KeyCode gKeyBeingHandled = NoKey;
// Windows draws before it hands out any timer message.
constexpr UINT_PTR FirstPictureTimer = 2;
bool gShowingFirstPicture = false;
bool gSecondClickOnAssignAll = false;

// At the system's size, which grows with its DPI, so the icon is not stretched.
void SetWindowIcon(HWND dialog, WPARAM icon, int width, int height) {
    HANDLE image = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                              GetSystemMetrics(width), GetSystemMetrics(height), LR_DEFAULTCOLOR);
    SendMessageW(dialog, WM_SETICON, icon, reinterpret_cast<LPARAM>(image));
}

// The banner's box grows with the DPI; stretched, the template's 96-DPI banner would blur.
void ShowSharpBanner(HWND dialog) {
    HWND banner = GetDlgItem(dialog, IDC_BANNER);
    RECT box;
    GetClientRect(banner, &box);
    const std::pair<int, int> banners[] = {
        {544, IDB_BANNER}, {680, IDB_BANNER_120}, {816, IDB_BANNER_144}, {1088, IDB_BANNER_192}};
    auto nearest = std::min_element(std::begin(banners), std::end(banners), [&](auto a, auto b) {
        return std::abs(a.first - box.right) < std::abs(b.first - box.right);
    });
    if (nearest == std::begin(banners))
        return;
    HANDLE bitmap =
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nearest->second), IMAGE_BITMAP, 0, 0, 0);
    if (bitmap != nullptr)
        DeleteObject(reinterpret_cast<HGDIOBJ>(
            SendMessageW(banner, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap))));
}

void SetOption(HWND dialog, int id, BoxState state) {
    EnableWindow(GetDlgItem(dialog, id), state.enabled);
    CheckDlgButton(dialog, id, state.checked ? BST_CHECKED : BST_UNCHECKED);
}

OptionFlags RecordFlags() {
    return {gSettings.mahjongFlag, gSettings.fourWayFlag, gSettings.squareFlag};
}

void ShowOptionStates(HWND dialog) {
    OptionBoxStates boxes = BoxStatesOf(RecordFlags());
    CheckDlgButton(dialog, IDC_MAHJONG_GAME, boxes.mahjongChecked ? BST_CHECKED : BST_UNCHECKED);
    SetOption(dialog, IDC_FOUR_WAY, boxes.fourWay);
    SetOption(dialog, IDC_SQUARE, boxes.square);
}

std::wstring ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

static_assert(IDC_FOUR_WAY - IDC_MAHJONG_GAME == FourWayBox && IDC_SQUARE - IDC_MAHJONG_GAME == SquareBox);

bool IsChecked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void OnOptionBox(HWND dialog, OptionBox box, int id) {
    OptionFlags flags = FlagsAfterClick(RecordFlags(), box, IsChecked(dialog, id));
    gSettings.mahjongFlag = flags.mahjong;
    gSettings.fourWayFlag = flags.fourWay;
    gSettings.squareFlag = flags.square;
    ShowOptionStates(dialog);
    if (box == MahjongBox) {
        EndAllCaptures(dialog);
        ShowLayoutControls(dialog);
        ShowClashMarks(dialog);
    }
}

// The loader opens the driver path in the system's ANSI code page (Big5 on Traditional Chinese
// Windows). A path set from the dialog leaves at least one zero byte in the field.
constexpr int LongestDriverPath = DriverPathSize - 1;
using DriverPathBytes = uint8_t[DriverPathSize];
enum PathStoring { PathStored, PathHasForeignCharacters, PathTooLong };

std::wstring DriverPathText(const DriverPathBytes& bytes) {
    const char* narrow = reinterpret_cast<const char*>(bytes);
    int length = static_cast<int>(std::find(bytes, bytes + DriverPathSize, 0) - bytes);
    if (length == 0)
        return {};
    std::wstring text(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, narrow, length, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow, length, text.data(), static_cast<int>(text.size()));
    return text;
}

// The bytes are all zero unless the result is PathStored.
PathStoring TextToDriverPath(const std::wstring& text, DriverPathBytes& bytes) {
    std::fill(bytes, bytes + DriverPathSize, 0);
    if (text.empty())
        return PathStored;
    // A UTF-8 system code page (an option of Windows 10 and later) stores every character and
    // takes neither the no-best-fit flag nor the used-default report.
    bool utf8 = GetACP() == CP_UTF8;
    BOOL usedDefault = FALSE;
    std::string narrow(text.size() * 3, '\0');
    int length = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.data(),
                                     static_cast<int>(text.size()), narrow.data(),
                                     static_cast<int>(narrow.size()), nullptr, utf8 ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault)
        return PathHasForeignCharacters;
    if (length > LongestDriverPath)
        return PathTooLong;
    std::copy(narrow.begin(), narrow.begin() + length, bytes);
    return PathStored;
}

bool StoreDriverPath(HWND dialog) {
    std::wstring text = ControlText(dialog, IDC_DRIVER_PATH);
    if (text == gFilledDriverPath)
        return true;
    DriverPathBytes bytes;
    PathStoring result = TextToDriverPath(text, bytes);
    if (result != PathStored) {
        ShowDialogWarning(dialog, result == PathTooLong ? PathTooLongWarning : PathCharactersWarning);
        return false;
    }
    std::copy(std::begin(bytes), std::end(bytes), gSettings.driverPath);
    return true;
}

// The save's warnings have no owner, so the dialog is disabled by hand while one is up: a second OK
// would start a second save. A refused save keeps the dialog and every key of this visit.
void OnOk(HWND dialog) {
    EndAllCaptures(dialog);
    if (!StoreDriverPath(dialog)) {
        FocusControl(dialog, IDC_DRIVER_PATH);
        return;
    }
    EnableWindow(dialog, FALSE);
    if (SaveSettings()) {
        DestroyWindow(dialog); // which ends the message loop
        return;
    }
    EnableWindow(dialog, TRUE);
    SetForegroundWindow(dialog);
    FocusControl(dialog, IDOK);
}

void OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDC_MAHJONG_GAME:
    case IDC_FOUR_WAY:
    case IDC_SQUARE:
        OnOptionBox(dialog, static_cast<OptionBox>(id - IDC_MAHJONG_GAME), id);
        break;
    case IDC_LOW_RESOLUTION:
        gSettings.lowResolutionFlag = IsChecked(dialog, IDC_LOW_RESOLUTION) ? 1 : 0;
        break;
    case IDOK:
        OnOk(dialog);
        break;
    case IDCANCEL:
        // Only a click closes the dialog, not Escape, which the dialog manager turns into Cancel; the
        // key's state as of the message tells them apart however late it is handled.
        if ((GetKeyState(VK_ESCAPE) & 0x8000) == 0)
            DestroyWindow(dialog);
        break;
    case IDC_ASSIGN_ALL:
        // The second click of a double click changes nothing: the first one's start or stop holds.
        if (!std::exchange(gSecondClickOnAssignAll, false))
            StartOrStopSequence(dialog, gKeyBeingHandled);
        break;
    case IDC_SKIP:
        SkipSequenceStepOn(dialog);
        break;
    default:
        if (const LayoutInput* input = InputOfButton(CurrentLayout(), id))
            StartSingleCaptureOn(dialog, input->captureButton, gKeyBeingHandled);
        break;
    }
}

// Alt or F10 alone while no control has the focus (a capture, when Alt may be the key assigned)
// would put the window into menu mode, which eats the next click or key. Alt+Space still works.
BOOL IgnoreKeyMenu(HWND dialog, WPARAM command, LPARAM key) {
    if ((command & 0xFFF0) != SC_KEYMENU || key != 0)
        return FALSE;
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
    return TRUE;
}

void OnInitDialog(HWND dialog) {
    SwitchSessionBeepOff();
    SetWindowIcon(dialog, ICON_SMALL, SM_CXSMICON, SM_CYSMICON);
    if (!gCanShowChinese())
        UseEnglishCaptions(dialog);
    SetDlgItemTextW(dialog, IDC_DRIVER_PATH, DriverPathText(gSettings.driverPath).c_str());
    gFilledDriverPath = ControlText(dialog, IDC_DRIVER_PATH);
    CheckDlgButton(dialog, IDC_LOW_RESOLUTION,
                   gSettings.lowResolutionFlag == 1 ? BST_CHECKED : BST_UNCHECKED);
    ShowOptionStates(dialog);
    FillKeyFields(dialog);
    if (CurrentLayout() != StandardLayout) // the template shows the standard set
        ShowLayoutControls(dialog);
    ShowClashMarks(dialog);
    ShowSharpBanner(dialog);
    FitToWorkArea(dialog);
    gShowingFirstPicture = true;
    ShowWindow(dialog, SW_SHOW);
    gShowingFirstPicture = false;
    SetTimer(dialog, FirstPictureTimer, 0, nullptr);
}

// What the first picture does not need waits for it.
void AfterTheFirstPicture(HWND dialog) {
    KillTimer(dialog, FirstPictureTimer);
    SetWindowIcon(dialog, ICON_BIG, SM_CXICON, SM_CYICON);
    if (GetActiveWindow() == dialog)
        SwitchAccessibilityShortcutsOff();
    OpenKeyboardForTheKeyTest(dialog);
}

// TRUE keeps the dialog manager from giving the focus back to a control while a capture runs.
BOOL OnActivation(HWND dialog, bool active) {
    OnKeyTestActivation(dialog, active);
    if (!active) {
        RestoreAccessibilityShortcuts();
        return FALSE;
    }
    ReadKeyboardNow(dialog);
    if (!gShowingFirstPicture)
        SwitchAccessibilityShortcutsOff();
    if (!AnyCaptureRuns())
        return FALSE;
    KeepFocusOnDialog(dialog);
    return TRUE;
}

// Enter presses OK wherever the focus is but on Cancel: a focused push button becomes the default,
// and on a capture button Enter would start its capture again.
void LeaveEnterToOk(HWND dialog) {
    HWND focus = GetFocus(), ok = GetDlgItem(dialog, IDOK);
    if (focus == ok || focus == GetDlgItem(dialog, IDCANCEL))
        return;
    if (GetParent(focus) == dialog && (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
        SendMessageW(focus, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    SendMessageW(dialog, DM_SETDEFID, IDOK, 0);
    SendMessageW(ok, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

bool IsPressOrRelease(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

bool IsKeptFromDialog(HWND dialog, const MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST ||
        (message.hwnd != dialog && !IsChild(dialog, message.hwnd)))
        return false;
    DialogKeyMessage key = {IsPressOrRelease(message.message), static_cast<uint32_t>(message.lParam),
                            AnyCaptureRuns(), GetFocus() == GetDlgItem(dialog, IDC_DRIVER_PATH)};
    return KeepFromDialog(key, CurrentInputCodes());
}

} // namespace

void HandleThreadMessage(HWND dialog, MSG& message) {
    if (IsKeptFromDialog(dialog, message))
        return;
    gKeyBeingHandled = IsPressOrRelease(message.message)
                           ? KeyCodeOfKeyMessage(static_cast<uint32_t>(message.lParam))
                           : NoKey;
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN)
        LeaveEnterToOk(dialog);
    if (message.message == WM_LBUTTONDOWN || message.message == WM_LBUTTONDBLCLK)
        gSecondClickOnAssignAll =
            message.message == WM_LBUTTONDBLCLK && message.hwnd == GetDlgItem(dialog, IDC_ASSIGN_ALL);
    if (!IsDialogMessageW(dialog, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    gKeyBeingHandled = NoKey;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (OnCaptureMessage(dialog, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_TIMER:
        AfterTheFirstPicture(dialog);
        return TRUE;
    case WM_ACTIVATE:
        return OnActivation(dialog, LOWORD(wParam) != WA_INACTIVE);
    case WM_ACTIVATEAPP:
        // Another program came to the front: the keys that went down before it count.
        if (!wParam) {
            ReadKeyboardNow(dialog);
            EndAllCaptures(dialog);
        }
        return FALSE;
    case WM_SETFOCUS:
        return AnyCaptureRuns(); // while a capture runs, the focus stays on the dialog itself
    case WM_CONTEXTMENU:
        return OnInputContextMenu(dialog, reinterpret_cast<HWND>(wParam), lParam);
    case WM_SYSCOMMAND:
        return IgnoreKeyMenu(dialog, wParam, lParam);
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        EndAllCaptures(nullptr);
        CloseKeyboard();
        RestoreAccessibilityShortcuts();
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

void ShowWarningBox(const char* text) {
    MessageBoxW(gWarningOwner, Widen(text).c_str(), L"Error!", MB_ICONWARNING | MB_OK);
}

void ShowDialogWarning(HWND dialog, const char* text) {
    gWarningOwner = dialog;
    gShowWarning(text);
    gWarningOwner = nullptr;
}

// A copy that starts meanwhile, seen once the beep is back, has it off again.
void RestoreSessionBeep() {
    if (gBeepOff == nullptr)
        return;
    CloseHandle(gBeepOff);
    gBeepOff = nullptr;
    if (AnotherCopyHasTheBeepOff())
        return;
    SystemParametersInfoW(SPI_SETBEEP, UserBeep(), nullptr, 0);
    if (AnotherCopyHasTheBeepOff())
        SystemParametersInfoW(SPI_SETBEEP, FALSE, nullptr, 0);
}
