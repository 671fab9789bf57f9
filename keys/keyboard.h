// The keyboard as the loader reads it, behind a seam: the platform's device gives every key's state
// under the number the bindings file stores. Each capture reads it as a reader of its own, which sees
// every key that went down since its own last reading, whoever read the device in between.
#pragma once

#include "keys/changed_key.h"

// The platform half: every key's state, and KeyWentDown for every key that went down since the
// device's previous reading, however short the press; false when it cannot be read.
struct KeyboardDevice {
    bool (*read)(KeySample& sample);
};
extern KeyboardDevice gKeyboardDevice;

using KeyboardReader = int;
// Reads the state alone: the key test, which shows only keys held.
inline constexpr KeyboardReader NoReader = -1;
// More than the capture buttons of one layout, which can all run at once.
inline constexpr int KeyboardReaderCount = 64;

// A reader that has seen nothing yet; NoReader when every one is taken.
KeyboardReader OpenKeyboardReader();
void CloseKeyboardReader(KeyboardReader reader);

// A reading of the device, with KeyWentDown for the keys that went down since the reader's own
// previous reading.
bool ReadKeyboard(KeyboardReader reader, KeySample& sample);
