// The Windows edge of the settings: the built-in images as program resources, warnings as message boxes.
#pragma once

#include <windows.h>

// Finds both images among the module's resources; false if either is missing.
bool LocateTemplates(HMODULE module);

// A warning box with the caption "Error!", the warning icon and one OK button, with no owner.
void ShowWarningBox(const char* text);
// A warning about something the dialog asked for (a path it cannot store, a keyboard it cannot
// open), shown through gShowWarning as the dialog's own box: Windows disables the dialog while the
// box is up, and hands the activation back to it after.
void ShowDialogWarning(HWND dialog, const char* text);
