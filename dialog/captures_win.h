// The dialog's side of the captures (keys/key_capture.h), its key fields and capture buttons. A timer
// runs only while a capture runs.
#pragma once

#include "settings/layout_inputs.h"

#include <windows.h>

// Once the first picture is up; should it fail, the first capture tries again and warns.
void OpenKeyboardForTheKeyTest(HWND dialog);
// The keyboard's signal, the captures' timer and mouse presses; true when the message was handled.
bool OnCaptureMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ReadKeyboardNow(HWND dialog);

void StartSingleCaptureOn(HWND dialog, int captureButton, KeyCode startingKey);
void StartOrStopSequence(HWND dialog, KeyCode startingKey);
void SkipSequenceStepOn(HWND dialog);
// With a null dialog (it is being destroyed) nothing is shown.
void EndAllCaptures(HWND dialog);

// The dialog manager's way (WM_NEXTDLGCTL), so that the default button follows the focus.
void FocusControl(HWND dialog, int id);
void KeepFocusOnDialog(HWND dialog);

// The live key test: a key field lights while its input's key is held, if the dialog is the active
// window and no capture runs.
void OnKeyTestActivation(HWND dialog, bool active);
bool IsKeyFieldLit(int field);

void FillKeyFields(HWND dialog);
// A capture button's "!": another input of the layout has its key. It never blocks anything.
void ShowClashMarks(HWND dialog);
// "清除按鍵" on a capture button of the shown layout; false elsewhere (the title bar's window menu).
bool OnInputContextMenu(HWND dialog, HWND window, LPARAM at);
