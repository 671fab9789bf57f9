// The settings dialog's two sets of key rows, laid over the same area: which one is visible.
#pragma once

#include <windows.h>

// Shows the set of the layout that the settings record holds and hides the other.
void ShowLayoutControls(HWND dialog);
