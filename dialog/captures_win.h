// The dialog's side of the captures (keys/key_capture.h). A click on a capture button captures its
// input; a click on "依序設定" captures the current layout's inputs in slot order, then the system
// and exit keys, and the next input starts as soon as a key is taken.
// The keyboard is read on the dialog's thread: when it signals (a key went down or up, or the device
// was lost), when a capture starts (its snapshot), once the first picture is up and when the dialog
// becomes active (the live key test), and when another program comes to the front, which ends every
// capture. A timer runs only while a capture runs: it counts down, ends a capture whose time is up
// and acquires a lost keyboard again. A mouse press on the dialog ends the single capture with
// nothing stored, but for one on its own button (a double click's second).
#pragma once

#include "settings/layout_inputs.h"

#include <windows.h>

// Once the first picture is up; should it fail, the first capture tries again and warns.
void OpenKeyboardForTheKeyTest(HWND dialog);
// The keyboard's signal, the captures' timers and mouse presses; true when the message was handled.
bool OnCaptureMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The dialog becoming active: one reading for the captures and the key test.
void ReadKeyboardNow(HWND dialog);

// `startingKey`: the key whose message pressed the button, or NoKey (keys/key_capture.h).
void StartSingleCaptureOn(HWND dialog, int captureButton, KeyCode startingKey);
// "依序設定" while no sequence runs, "停止" while one does.
void StartOrStopSequence(HWND dialog, KeyCode startingKey);
// "跳過": the waiting input is left with no key and the next one starts; after the exit key the
// sequence ends.
void SkipSequenceStepOn(HWND dialog);
// A layout switch, OK, Cancel or close: every capture ends, and none stores a key after it. With a
// null dialog (it is being destroyed) nothing is shown.
void EndAllCaptures(HWND dialog);

// The focus, moved the dialog manager's way (WM_NEXTDLGCTL), so that the default button follows it.
void FocusControl(HWND dialog, int id);
// While a capture runs the dialog keeps the keyboard focus itself, and no control has it: on
// WM_SETFOCUS and on activation the dialog manager must not hand it to a control.
void KeepFocusOnDialog(HWND dialog);

// The live key test: every key field lights while its input's key is held, if the dialog is the
// active window and no capture runs. WM_ACTIVATE: once the dialog is no longer active, every field
// goes dark.
void OnKeyTestActivation(HWND dialog, bool active);
bool IsKeyFieldLit(int field);

// The key fields and their capture buttons: each field shows the name of its input's key, or
// nothing for an input with no key; each button the "!" of an input whose key another input of the
// layout also holds (a mark that never blocks anything), and the menu of its right click.

// Every input of the current layout, as the dialog opens: the names looked up once per distinct key.
void FillKeyFields(HWND dialog);

// Brings the marks up to date: when the dialog opens, after a capture stores a key, after a layout
// switch.
void ShowClashMarks(HWND dialog);

// WM_CONTEXTMENU: "清除按鍵" leaves the input with no key, for an input that the cabinet's panel
// lacks. `window` is the control that was clicked, `at` the screen point (-1, -1 from the keyboard).
// The menu opens only on a capture button of the shown layout whose input is not being captured
// while no sequence runs. False when `window` is no such button: a right click on the title bar is
// then left to Windows, which opens the window menu.
bool OnInputContextMenu(HWND dialog, HWND window, LPARAM at);
