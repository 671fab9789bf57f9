// The key fields: each shows the name of its input's key, or nothing for an input with no key.
#pragma once

#include "settings/layout_inputs.h"

#include <windows.h>

// Shows the key that the input holds now.
void ShowInputKey(HWND dialog, const LayoutInput& input);

// Leaves the input with no key: NoKey, an empty field, the clash marks again.
void ClearInputKey(HWND dialog, const LayoutInput& input);
