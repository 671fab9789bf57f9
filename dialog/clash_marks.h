// The "!" on the capture button of every input whose key another input of the layout also holds.
#pragma once

#include "settings/settings.h"

#include <windows.h>

#include <vector>

// The capture buttons of the current layout's inputs in slot order, then the system and exit keys.
std::vector<int> InputButtons();

// The key code each of those buttons' inputs holds now.
std::vector<KeyCode> CodesOfInputs(const std::vector<int>& buttons);

// Brings the marks up to date: when the dialog opens, after a capture stores a key, after a layout
// switch. A mark never blocks anything.
void ShowClashMarks(HWND dialog);
