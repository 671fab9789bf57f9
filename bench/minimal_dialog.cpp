// The floor for start-up time: a program built like the tool that only shows a small dialog, or,
// built with ORVANE_TOOL_TEMPLATE, the tool's own dialog template and nothing else.
#include <windows.h>

#include <commctrl.h>

#ifdef ORVANE_TOOL_TEMPLATE
#include "resources/resource.h"
#define DIALOG_TEMPLATE IDD_SETTINGS
#else
#define DIALOG_TEMPLATE 1
#endif

namespace {

INT_PTR CALLBACK MinimalDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ShowWindow(dialog, SW_SHOW);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    HWND dialog =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(DIALOG_TEMPLATE), nullptr, MinimalDialogProc, 0);
    MSG message;
    while (dialog && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
