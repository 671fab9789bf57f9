// The driver path between the bindings file's bytes and the dialog's text. The loader opens the
// path as text in the system's ANSI code page (Big5 on Traditional Chinese Windows), so that is the
// code page the bytes are read and written in.
#pragma once

#include "settings/bindings_file.h"

#include <windows.h>

#include <string>

inline constexpr char PathCharactersWarning[] =
    "The driver path has characters that this system cannot store.";
inline constexpr char PathTooLongWarning[] = "The driver path is too long.";

// A path set from the dialog leaves at least one zero byte in the field.
inline constexpr int LongestDriverPath = DriverPathSize - 1;

using DriverPathBytes = uint8_t[DriverPathSize];

// The text of the bytes up to the first zero byte, or of all of them.
std::wstring DriverPathText(const DriverPathBytes& bytes);

enum PathStoring { PathStored, PathHasForeignCharacters, PathTooLong };

// The text in the code page, zero-filled; the bytes are all zero unless the result is PathStored.
PathStoring TextToDriverPath(const std::wstring& text, DriverPathBytes& bytes);
