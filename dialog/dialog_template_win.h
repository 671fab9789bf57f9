// The settings dialog's template at run time: its two sets of key rows, laid over the same area, of
// which one is visible; and the fit to a screen too small for it. Cabinets with an arcade CRT run
// the desktop at 640 x 480, and some video boards take nothing larger, and the taskbar takes 30
// (XP) to 48 pixels of it.
#pragma once

#include <windows.h>

// Shows the set of the layout that the settings record holds and hides the other, in one batch.
void ShowLayoutControls(HWND dialog);

// When the dialog is taller than the work area of its monitor: hides the banner, closes the empty
// bands above the path, between the path and the players and between the groups of key rows down to
// the space between two key rows, and shortens the window by what the client lost; the order of the
// controls stays. A window still too tall has its top at the work area's top, where its title bar
// can be grabbed. A dialog that fits is left as it is.
void FitToWorkArea(HWND dialog);

// English captions for a Windows without Chinese fonts: Western XP shows every Chinese caption as a
// row of boxes unless the East Asian language files were installed. Vista and later always have them.
// Whether Windows can show the dialog's Traditional Chinese captions; tests replace it.
extern bool (*gCanShowChinese)();

// Puts the English caption in place of every Chinese one: the window's and every child's.
void UseEnglishCaptions(HWND dialog);

// The caption to show for a Chinese one: the English words once UseEnglishCaptions has run.
const wchar_t* ShownCaption(const wchar_t* chinese);
