// The behaviour of the settings dialog.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Puts the settings record into the dialog's controls.
void FillDialog(HWND dialog);

// Puts back the system beep setting that the dialog found when it opened; nothing if it never opened.
void RestoreBeep();
