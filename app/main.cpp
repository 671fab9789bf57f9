// The entry point: load the bindings file, show the settings dialog, run the message loop.
#include "app/running_copy.h"
#include "dialog/capture_sequence.h"
#include "dialog/clash_marks.h"
#include "dialog/live_keys.h"
#include "dialog/session_beep.h"
#include "dialog/settings_dialog.h"
#include "keys/held_keys.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/settings_win.h"

#include <commctrl.h>

namespace {

bool IsPressOrRelease(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

// On a cabinet the keyboard is the control panel, and its keys are the game's inputs, not the
// dialog's navigation: Space on button 3 would press OK, the stick's Down move the focus to Cancel,
// and Alt on button 2 open the window menu. While a capture or a sequence runs, every key is the
// capture's alone. At rest, a key that an input has only lights its fields (the live key test),
// except while the driver path is being typed; every other key keeps its meaning in the dialog.
bool KeepFromDialog(HWND dialog, const MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST ||
        (message.hwnd != dialog && !IsChild(dialog, message.hwnd)))
        return false;
    if (CaptureRuns())
        return true;
    if (!IsPressOrRelease(message.message) || GetFocus() == GetDlgItem(dialog, IDC_DRIVER_PATH))
        return false;
    return IsPanelKey(static_cast<int>(message.wParam), CodesOfInputs(InputButtons()),
                      KeyCodesOfDialogLayout());
}

void RunMessageLoop(HWND dialog) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (KeepFromDialog(dialog, message) || IsDialogMessageW(dialog, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (AnotherCopyRunsForThisFolder())
        return 0;
    gShowWarning = ShowWarningBox;
    ClearLeadingBlock();
    LocateTemplates(instance);
    if (!LoadSettings())
        return 0;
    InitCommonControls();
    HWND dialog =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_SETTINGS), nullptr, SettingsDialogProc, 0);
    if (dialog == nullptr) {
        MessageBoxW(nullptr, L"No dialog created!", L"Error!", MB_ICONWARNING | MB_OK);
        return 0;
    }
    RunMessageLoop(dialog);
    RestoreSessionBeep();
    return 0;
}
