// The keyboard's Windows half: one DirectInput keyboard for the process, opened non-exclusive and in
// the background on the dialog's window, and read through gKeyboardDevice (keys/key_capture.h). It
// is not polled: whenever a key goes down or up, or the device is lost to another program, a wait
// on the device's event posts the dialog `signalMessage`. When the dialog reads it is said in
// dialog/captures_win.h.
#pragma once

#include "keys/key_capture.h"

#include <windows.h>

// Opens the keyboard for the dialog, or opens it again; false when DirectInput cannot.
bool OpenKeyboard(HWND dialog, UINT signalMessage);
void CloseKeyboard();
bool IsKeyboardOpen();
// A keyboard lost to another program and not acquired again on its loss's signal is tried once
// more: called on a capture's countdown, which an unacquired device cannot wake.
void AcquireKeyboardIfLost();
