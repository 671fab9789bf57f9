// The keys of the panel: those that an input of the shown layout, the system key or the exit key
// has. The live key test lights the inputs whose keys are held, and the dialog leaves panel keys to
// the test rather than taking them as its own keyboard navigation.
#pragma once

#include "keys/changed_key.h"
#include "keys/key_codes.h"

#include <vector>

// Whether the virtual key is a panel key: the code a capture would store for it is not 0 (no key,
// or a mouse button) and some input has that code.
bool IsPanelKey(int vk, const std::vector<KeyCode>& inputCodes, const LayoutKeyCodes& layoutCodes);

// For each input's key code, whether that key is held in the sample. Each held virtual key counts as
// the code a capture would store for it; AltGr's left Ctrl counts as nothing of its own, and code 0
// is never held.
std::vector<bool> HeldInputs(const std::vector<KeyCode>& inputCodes, const KeySample& now,
                             const LayoutKeyCodes& layoutCodes);

// The virtual keys that HeldInputs needs read: the panel keys, and right Alt with them (AltGr). A
// sample with only these read gives the same result as a full one, at a fraction of the reads.
std::vector<int> KeysToRead(const std::vector<KeyCode>& inputCodes, const LayoutKeyCodes& layoutCodes);
