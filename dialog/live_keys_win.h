// The live key test: while the dialog is the active window and no capture runs, the key field of
// every input whose key is held down is drawn in the system's highlight colours. An owner presses a
// panel button and sees which input it is, or holds several together and sees which ones the
// encoder drops. It only shows: nothing is stored. While another program is active the test does
// not read the keyboard; DirectInput keeps what is typed there, and the test's next reading, which
// shows only keys held, passes it over.
#pragma once

#include <windows.h>

inline constexpr UINT_PTR KeyTestTimer = 1;

// Lets the key fields be drawn lit.
void LetKeyFieldsLight(HWND dialog);

// WM_ACTIVATE: the test's timer runs only while the dialog is the active window.
void OnKeyTestActivation(HWND dialog, bool active);

// WM_TIMER of KeyTestTimer: reads the keys and lights the fields.
void OnKeyTestTimer(HWND dialog);

bool IsKeyFieldLit(int field);
