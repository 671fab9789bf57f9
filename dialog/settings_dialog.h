// The behaviour of the settings dialog.
#pragma once

#include <windows.h>

#include <cstdint>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Puts the settings record into the dialog's controls.
void FillDialog(HWND dialog);

// Shows the name of a key code in a key field.
void ShowKeyName(HWND dialog, int field, uint8_t code);
