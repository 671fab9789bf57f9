// The keyboard's Windows half: one DirectInput keyboard for the process, opened non-exclusive and in
// the background on the dialog's window, so it reads whichever window has the focus. Readings go
// through keys/keyboard.h. While the dialog is behind another program nobody reads it: DirectInput
// keeps what is typed there in its buffer, and the next reading passes it on as keys that went down,
// which neither a capture (whose first reading is only its snapshot) nor the key test (which shows
// only keys held) takes.
#pragma once

#include "keys/keyboard.h"

#include <windows.h>

// Opens the keyboard for the dialog, or opens it again; false when DirectInput cannot.
bool OpenKeyboard(HWND dialog);
void CloseKeyboard();
bool KeyboardIsOpen();

inline constexpr char CouldNotOpenKeyboardWarning[] = "Could not open the keyboard.";
