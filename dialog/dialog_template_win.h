// The settings dialog's two sets of key rows, laid over the same area: which one is visible.
#pragma once

#include "settings/bindings_file.h"

#include <windows.h>

// Shows the set of the layout that the settings record holds and hides the other.
void ShowLayoutControls(HWND dialog);

// The set that holds a control: its layout and true, or false for a control of both layouts.
bool IsInLayoutSet(int id, LayoutKind& layout);
