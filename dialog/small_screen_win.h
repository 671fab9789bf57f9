// A screen too small for the dialog: cabinets with an arcade CRT run the desktop at 640 x 480, and
// some video boards take nothing larger, and the taskbar takes 30 (XP) to 48 pixels of it. There the
// banner is left out and the empty bands between the controls are closed.
#pragma once

#include <windows.h>

// When the dialog is taller than the work area of its monitor: hides the banner, closes the empty
// bands above the path, between the path and the players and between the groups of key rows down to
// the space between two key rows, and shortens the window by what the client lost; the order of the
// controls stays. A window still too tall has its top at the work area's top, where its title bar
// can be grabbed. A dialog that fits is left as it is.
void FitToWorkArea(HWND dialog);
