// The keyboard as the loader reads it: a DirectInput keyboard, opened non-exclusive and in the
// background on the dialog's window, gives the state of every key under the very number the bindings
// file stores, in one call, whichever window has the focus. Captures and the live key test read it
// from their own threads.
#pragma once

#include "keys/changed_key.h"

#include <windows.h>

// Opens the keyboard for the dialog, or opens it again; false when DirectInput cannot.
bool OpenKeyboard(HWND dialog);
void CloseKeyboard();
bool KeyboardIsOpen();

// Every key's state now, and the mouse buttons' at NoKey. A key that went down since the previous
// reading has KeyWentDown, however short the press: the keyboard's events are read as well as its
// state. False when the keyboard is not open or cannot be read.
bool ReadKeyboard(KeySample& sample);

inline constexpr char CouldNotOpenKeyboardWarning[] = "Could not open the keyboard.";
