// The Windows edge of the settings: the built-in images as program resources.
#pragma once

#include <windows.h>

#include <string>

// Finds both images among the module's resources; false if either is missing.
bool LocateTemplates(HMODULE module);

// A file name or a warning, of plain ASCII, as wide text.
std::wstring Widen(const char* text);
