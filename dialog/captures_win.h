// The dialog's side of the captures (keys/key_capture.h). A click on a capture button captures its
// input; a click on "依序設定" captures the current layout's inputs in slot order, then the system
// and exit keys, and the next input starts as soon as a key is taken. The keyboard is read on the
// dialog's thread only: when it signals a key, when a capture starts, when the dialog becomes active,
// and on the ticks of a timer that runs only while a capture runs (the countdown, the time running
// out, a keyboard lost to another program, the mouse). Each reading goes to the captures, then to
// the live key test.
#pragma once

#include <windows.h>

// Posted by the keyboard whenever a key goes down or up.
inline constexpr UINT WM_KEYBOARD_SIGNALLED = WM_APP + 1;
inline constexpr UINT_PTR CaptureTimer = 1;
// Set as the dialog opens: it fires once the dialog's first picture is up, which Windows draws
// before any timer message. The keyboard opens then, for the key test; should it fail, the first
// capture tries again and warns.
inline constexpr UINT_PTR OpenKeyboardTimer = 2;

inline constexpr char CouldNotOpenKeyboardWarning[] = "Could not open the keyboard.";

void OnOpenKeyboardTimer(HWND dialog);

void StartSingleCaptureOn(HWND dialog, int captureButton);
// "依序設定" while no sequence runs, "停止" while one does.
void StartOrStopSequence(HWND dialog);
// "跳過": the waiting input is left with no key and the next one starts; after the exit key the
// sequence ends.
void SkipSequenceStepOn(HWND dialog);
// A layout switch, OK, Cancel or close: every capture ends, and none stores a key after it. With a
// null dialog (it is being destroyed) nothing is shown.
void EndAllCaptures(HWND dialog);

// While a capture runs the dialog keeps the keyboard focus itself, and no control has it: on
// WM_SETFOCUS and on activation the dialog manager must not hand it to a control.
void KeepFocusOnDialog(HWND dialog);

// WM_KEYBOARD_SIGNALLED, and the dialog becoming active: one reading for the captures and the key
// test.
void ReadKeyboardNow(HWND dialog);
void OnCaptureTimer(HWND dialog);
