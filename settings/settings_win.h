// The Windows edge of the settings: the built-in images as program resources, warnings as message boxes.
#pragma once

#include <windows.h>

// Finds both images among the module's resources; false if either is missing.
bool LocateTemplates(HMODULE module);

// A warning box with the caption "Error!", the warning icon and one OK button. It has no owner, but
// for the warnings about the dialog's own input, which it shows while gWarningOwner names it.
void ShowWarningBox(const char* text);
extern HWND gWarningOwner;
