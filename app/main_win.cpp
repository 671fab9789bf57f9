// The entry point: load the bindings file, show the settings dialog, run the message loop.
#include "app/running_copy_win.h"
#include "dialog/beep_share_win.h"
#include "dialog/settings_dialog_win.h"
#include "keys/held_keys.h"
#include "keys/key_capture.h"
#include "resources/resource.h"
#include "settings/layout_inputs.h"
#include "settings/settings.h"
#include "settings/settings_win.h"

#include <commctrl.h>

namespace {

bool IsPressOrRelease(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

// Key messages to the dialog or its controls, by the rule of keys/held_keys.h.
bool IsKeptFromDialog(HWND dialog, const MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST ||
        (message.hwnd != dialog && !IsChild(dialog, message.hwnd)))
        return false;
    DialogKeyMessage key = {IsPressOrRelease(message.message), static_cast<uint32_t>(message.lParam),
                            AnyCaptureRuns(), GetFocus() == GetDlgItem(dialog, IDC_DRIVER_PATH)};
    return KeepFromDialog(key, CurrentInputCodes());
}

void RunMessageLoop(HWND dialog) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsKeptFromDialog(dialog, message) || IsDialogMessageW(dialog, &message))
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
