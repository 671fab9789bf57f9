// Windows' accessibility shortcuts that a cabinet's panel sets off by itself: Shift pressed five
// times (Sticky Keys), right Shift held eight seconds (Filter Keys), Num Lock held five seconds
// (Toggle Keys). Each opens a prompt that takes the focus, and a panel's Space or Enter then answers
// it. They are switched off while the dialog is the active window, as Windows advises games, and
// given back when it stops being active and when it ends. Changed for the session only: nothing is
// written to the user profile. A call that fails (on Wine, or where a policy forbids it) changes
// nothing.
#pragma once

#include <windows.h>

// Nothing for a feature already switched off by this copy, so the state given back is the one
// before the dialog last became active.
void SwitchAccessibilityShortcutsOff();
void RestoreAccessibilityShortcuts();

// Every SystemParametersInfoW call of the two functions goes through this; tests replace it.
using SystemParametersCall = BOOL(WINAPI*)(UINT action, UINT size, PVOID value, UINT update);
extern SystemParametersCall gAccessibilityParameters;
