// The Windows edge of the settings: the built-in images as program resources.
#pragma once

#include <windows.h>

#include <string>

bool LocateTemplates(HMODULE module);

// Plain ASCII as wide text.
std::wstring Widen(const char* text);
