// The settings dialog's template at run time: its two sets of key rows, laid over the same area, and
// the fit to a small screen (an arcade CRT's 640 x 480, less a taskbar of 30 to 48 pixels).
#pragma once

#include <windows.h>

void ShowLayoutControls(HWND dialog);

// When the dialog is taller than its monitor's work area: hides the banner and closes the empty
// bands. A window still too tall has its title bar at the work area's top.
void FitToWorkArea(HWND dialog);

// Western XP without the East Asian language files shows Chinese captions as boxes. Tests replace it.
extern bool (*gCanShowChinese)();
void UseEnglishCaptions(HWND dialog);
// The English words once UseEnglishCaptions has run.
const wchar_t* ShownCaption(const wchar_t* chinese);
