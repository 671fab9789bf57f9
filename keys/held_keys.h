// The live key test's choice of inputs: those whose key is held down now.
#pragma once

#include "keys/changed_key.h"
#include "keys/key_codes.h"

#include <vector>

// For each input's key code, whether that key is held in the sample. Each held virtual key counts as
// the code a capture would store for it; AltGr's left Ctrl counts as nothing of its own, and code 0
// (no key, or a mouse button) is never held.
std::vector<bool> HeldInputs(const std::vector<KeyCode>& inputCodes, const KeySample& now,
                             const LayoutKeyCodes& layoutCodes);

// The virtual keys that HeldInputs needs read: those whose code an input has, and right Alt with
// them (AltGr). A sample with only these read gives the same result as a full one, at a fraction of
// the reads.
std::vector<int> KeysToRead(const std::vector<KeyCode>& inputCodes, const LayoutKeyCodes& layoutCodes);
