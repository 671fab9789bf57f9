// The keyboard's Windows half: one DirectInput keyboard for the process, opened non-exclusive and in
// the background on the dialog's window, so it reads whichever window has the focus. It is read only
// on the dialog's thread, through gKeyboardDevice (keys/key_capture.h). Rather than being polled, it
// wakes the dialog: whenever a key goes down or up, the dialog is posted `signalMessage`, and reads
// it then.
#pragma once

#include "keys/key_capture.h"

#include <windows.h>

// Opens the keyboard for the dialog, or opens it again; false when DirectInput cannot.
bool OpenKeyboard(HWND dialog, UINT signalMessage);
void CloseKeyboard();
bool KeyboardIsOpen();
