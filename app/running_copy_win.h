// One copy of the tool per folder: a second start for the same folder brings the first copy's window
// to the front and ends, before it loads the file or touches the beep. Copies for different folders
// (two loaders on one PC) run side by side.
#pragma once

#include <windows.h>

// True when another copy already runs for the working folder; its window has been brought forward.
// Otherwise this copy now holds the folder until it ends.
bool AnotherCopyRunsForThisFolder();
// Marks the dialog as the folder's window, where a second copy finds it.
void MarkFolderWindow(HWND dialog);
