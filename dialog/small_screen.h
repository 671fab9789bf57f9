// A screen too small for the dialog: cabinets with an arcade CRT run the desktop at 640 x 480, and
// some video boards take nothing larger. There the banner is left out and every other control moves
// up into its place.
#pragma once

#include <windows.h>

// When the dialog is taller than the work area of its monitor: hides the banner, moves every other
// control up by its height and shortens the window by as much; a window still too tall has its top
// at the work area's top, where its title bar can be grabbed. A dialog that fits is left as it is.
void FitToWorkArea(HWND dialog);
