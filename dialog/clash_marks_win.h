// The "!" on the capture button of every input whose key another input of the layout also holds.
#pragma once

#include <windows.h>

// Brings the marks up to date: when the dialog opens, after a capture stores a key, after a layout
// switch. A mark never blocks anything.
void ShowClashMarks(HWND dialog);
