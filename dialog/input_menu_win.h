// The menu of a capture button's right click: "清除按鍵" leaves the input with no key (NoKey), for an
// input that the cabinet's panel lacks.
#pragma once

#include <windows.h>

// WM_CONTEXTMENU: `window` is the control that was clicked, `at` the screen point (-1, -1 from the
// keyboard). The menu opens only on a capture button of the shown layout whose input is not being
// captured while no sequence runs. False when `window` is no such button: a right click on the title
// bar is then left to Windows, which opens the window menu.
bool OnInputContextMenu(HWND dialog, HWND window, LPARAM at);
