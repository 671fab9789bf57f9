// The behaviour of the settings dialog.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// One step of the dialog's thread's message loop, the program's and the tests' alike: the keys of
// the panel and of a capture kept from the dialog (keys/held_keys.h), the rest through the dialog
// manager, or dispatched.
void HandleThreadMessage(HWND dialog, MSG& message);

// Puts the settings record into the dialog's controls.
void FillDialog(HWND dialog);
