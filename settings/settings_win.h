// The Windows edge of the settings: the built-in images as program resources.
#pragma once

#include <windows.h>

// Finds both images among the module's resources; false if either is missing.
bool LocateTemplates(HMODULE module);
