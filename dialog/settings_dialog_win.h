// The behaviour of the settings dialog.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// One step of the message loop, the program's and the tests': the panel's and a capture's keys are
// kept from the dialog manager (keys/held_keys.h).
void HandleThreadMessage(HWND dialog, MSG& message);

void ShowWarningBox(const char* text);
// The dialog's own box, through gShowWarning: Windows disables the dialog while it is up and hands
// the activation back to it, so a corrected path is typed into the dialog.
void ShowDialogWarning(HWND dialog, const char* text);

// The session's beep, off while the dialog is up, ends as the user had it, whatever order copies for
// different folders end in, killed or not: given back unless another copy still has it off.
void RestoreSessionBeep();

// The accessibility shortcuts a panel sets off open a prompt that its Space answers: off while the
// dialog is active, as Windows advises games, for the session only. Tests replace this.
using SystemParametersCall = BOOL(WINAPI*)(UINT action, UINT size, PVOID value, UINT update);
extern SystemParametersCall gAccessibilityParameters;

inline constexpr char PathCharactersWarning[] =
    "The driver path has characters that this system cannot store.";
inline constexpr char PathTooLongWarning[] = "The driver path is too long.";
