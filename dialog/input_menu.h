// The menu of a capture button's right click: "清除按鍵" leaves the input with no key (code 0), for an
// input that the cabinet's panel lacks.
#pragma once

#include <windows.h>

// WM_CONTEXTMENU: `window` is the control that was clicked, `at` the screen point (-1, -1 from the
// keyboard). Nothing unless it is a capture button of the shown layout whose input is not being
// captured and no sequence runs.
void OnInputContextMenu(HWND dialog, HWND window, LPARAM at);
