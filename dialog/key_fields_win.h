// The key fields and their capture buttons: each field shows the name of its input's key, or
// nothing for an input with no key; each button the "!" of an input whose key another input of the
// layout also holds (a mark that never blocks anything), and the menu of its right click.
#pragma once

#include "settings/layout_inputs.h"

#include <windows.h>

// Shows the key that the input holds now.
void ShowInputKey(HWND dialog, const LayoutInput& input);
// Every input of the current layout, as the dialog opens: the names looked up once per distinct key.
void FillKeyFields(HWND dialog);

// Leaves the input with no key: NoKey, an empty field, the clash marks again.
void ClearInputKey(HWND dialog, const LayoutInput& input);

// Brings the marks up to date: when the dialog opens, after a capture stores a key, after a layout
// switch.
void ShowClashMarks(HWND dialog);

// WM_CONTEXTMENU: "清除按鍵" leaves the input with no key, for an input that the cabinet's panel
// lacks. `window` is the control that was clicked, `at` the screen point (-1, -1 from the keyboard).
// The menu opens only on a capture button of the shown layout whose input is not being captured
// while no sequence runs. False when `window` is no such button: a right click on the title bar is
// then left to Windows, which opens the window menu.
bool OnInputContextMenu(HWND dialog, HWND window, LPARAM at);
