// The Windows edge of the settings: the built-in images as program resources, warnings as message boxes.
#pragma once

#include <windows.h>

// Finds both images among the module's resources; false if either is missing.
bool LocateTemplates(HMODULE module);

// A warning box with no owner, the caption "Error!", the warning icon and one OK button.
void ShowWarningBox(const char* text);
