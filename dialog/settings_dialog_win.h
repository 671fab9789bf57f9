// The behaviour of the settings dialog.
#pragma once

#include <windows.h>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// One step of the dialog's thread's message loop, the program's and the tests' alike: the keys of
// the panel and of a capture kept from the dialog (keys/held_keys.h), the rest through the dialog
// manager, or dispatched.
void HandleThreadMessage(HWND dialog, MSG& message);

// A warning box with the caption "Error!", the warning icon and one OK button, with no owner.
void ShowWarningBox(const char* text);
// A warning about something the dialog asked for (a path it cannot store, a keyboard it cannot
// open), shown through gShowWarning as the dialog's own box: Windows disables the dialog while the
// box is up, and hands the activation back to it after.
void ShowDialogWarning(HWND dialog, const char* text);

// The system beep is one setting of the whole logon session, and the dialog switches it off while
// it is up. Copies of the tool for different folders share it: it ends as the user had it, whatever
// order the copies end in, and whether or not some were killed. This gives the user's setting back
// unless another copy still has the beep off; nothing if never switched.
void RestoreSessionBeep();

// Windows' accessibility shortcuts that a cabinet's panel sets off by itself: Shift pressed five
// times (Sticky Keys), right Shift held eight seconds (Filter Keys), Num Lock held five seconds
// (Toggle Keys). Each opens a prompt that takes the focus, and a panel's Space or Enter then answers
// it. They are switched off while the dialog is the active window, as Windows advises games, for the
// session only, and given back when it stops being active and when it ends. Every call of theirs
// goes through this; tests replace it.
using SystemParametersCall = BOOL(WINAPI*)(UINT action, UINT size, PVOID value, UINT update);
extern SystemParametersCall gAccessibilityParameters;

// The driver path's warnings.
inline constexpr char PathCharactersWarning[] =
    "The driver path has characters that this system cannot store.";
inline constexpr char PathTooLongWarning[] = "The driver path is too long.";
