// One DirectInput keyboard, non-exclusive and in the background, read through gKeyboardDevice. It is
// not polled: a key going down or up, or the device's loss, posts the dialog `signalMessage`.
#pragma once

#include "keys/key_capture.h"

#include <windows.h>

bool OpenKeyboard(HWND dialog, UINT signalMessage);
void CloseKeyboard();
bool IsKeyboardOpen();
// On a capture's countdown: an unacquired device sends no signal.
void AcquireKeyboardIfLost();
