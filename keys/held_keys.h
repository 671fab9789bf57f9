// The keys of the panel: those that an input of the shown layout has.
#pragma once

#include "keys/changed_key.h"
#include "keys/key_codes.h"

#include <vector>

// Whether some input has the code; NoKey is never a panel key.
bool IsPanelKey(KeyCode code, const std::vector<KeyCode>& inputCodes);

// For each input's code, whether another input holds it too (the exit key on a start button ends
// the game as the player starts). A double binding may be meant: it is marked, never refused.
std::vector<bool> ClashingInputs(const std::vector<KeyCode>& codes);

// AltGr's left Ctrl counts as nothing of its own.
std::vector<bool> HeldInputs(const std::vector<KeyCode>& inputCodes, const KeySample& now);

struct DialogKeyMessage {
    bool pressOrRelease; // a key going down or up, plain or with Alt; not a character
    uint32_t lParam;
    bool captureRuns;
    bool typingDriverPath; // the driver path's field has the focus
};

// The panel's keys are the game's, not the dialog's navigation (Space on button 3 would press OK).
// While a capture runs every key is its alone; at rest a panel key only lights its fields, unless
// the driver path is being typed.
bool KeepFromDialog(const DialogKeyMessage& message, const std::vector<KeyCode>& inputCodes);
