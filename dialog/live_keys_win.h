// The live key test: while the dialog is the active window and no capture runs, the key field of
// every input whose key is held down is drawn in the system's highlight colours. An owner presses a
// panel button and sees which input it is, or holds several together and sees which ones the
// encoder drops. It only shows: nothing is stored. It lights fields from the dialog's readings of
// the keyboard (dialog/captures_win.h), which come as keys go down and up; it shows only keys held,
// so what was typed while another program was active lights nothing.
#pragma once

#include "keys/changed_key.h"

#include <windows.h>

// Lets the key fields be drawn lit.
void LetKeyFieldsLight(HWND dialog);

// WM_ACTIVATE: once the dialog is no longer the active window, every field goes dark.
void OnKeyTestActivation(HWND dialog, bool active);

// A reading of the keyboard, or null when none could be made: the fields of the keys held light.
void ShowHeldKeys(HWND dialog, const KeySample* reading);

bool IsKeyFieldLit(int field);
