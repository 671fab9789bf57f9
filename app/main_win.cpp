// The entry point: load the bindings file, show the settings dialog, run the message loop.
#include "app/running_copy_win.h"
#include "dialog/settings_dialog_win.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "settings/settings_win.h"

#include <commctrl.h>

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
    MarkFolderWindow(dialog);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        HandleThreadMessage(dialog, message);
    RestoreSessionBeep();
    return 0;
}
