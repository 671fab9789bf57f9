// The behaviour of the settings dialog.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// One step of the dialog's thread's message loop, the program's and the tests' alike: the keys of
// the panel and of a capture kept from the dialog (keys/held_keys.h), the rest through the dialog
// manager, or dispatched.
void HandleThreadMessage(HWND dialog, MSG& message);

// A warning box with the caption "Error!", the warning icon and one OK button, with no owner.
void ShowWarningBox(const char* text);
// A warning about something the dialog asked for (a path it cannot store, a keyboard it cannot
// open), shown through gShowWarning as the dialog's own box: Windows disables the dialog while the
// box is up, and hands the activation back to it after.
void ShowDialogWarning(HWND dialog, const char* text);
