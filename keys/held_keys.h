// The keys of the panel: those that an input of the shown layout, the system key or the exit key
// has. The live key test lights the inputs whose keys are held, and the dialog leaves panel keys to
// the test rather than taking them as its own keyboard navigation.
#pragma once

#include "keys/changed_key.h"
#include "keys/key_codes.h"

#include <vector>

// Whether some input has the code; NoKey is never a panel key.
bool IsPanelKey(KeyCode code, const std::vector<KeyCode>& inputCodes);

// For each input's code, whether another input holds the same code: two inputs on one key fire
// together, and an exit key shared with a player's start button ends the game when the player
// starts. The dialog marks them; it never refuses them, since a double binding may be meant. NoKey
// (an input left with no key) never clashes.
std::vector<bool> ClashingInputs(const std::vector<KeyCode>& codes);

// For each input's key code, whether that key is held in the sample. AltGr's left Ctrl counts as
// nothing of its own, and NoKey is never held.
std::vector<bool> HeldInputs(const std::vector<KeyCode>& inputCodes, const KeySample& now);

// A key message on its way to the dialog, and what the dialog is doing.
struct DialogKeyMessage {
    bool pressOrRelease; // a key going down or up, plain or with Alt; not a character
    uint32_t lParam;
    bool captureRuns;
    bool typingDriverPath; // the driver path's field has the focus
};

// On a cabinet the keyboard is the control panel, and its keys are the game's inputs, not the
// dialog's navigation: Space on button 3 would press OK, the stick's Down move the focus to Cancel,
// and Alt on button 2 open the window menu. While a capture or a sequence runs, every key message is
// the capture's alone. At rest, a key that an input has only lights its fields (the live key test),
// except while the driver path is being typed; every other key keeps its meaning in the dialog.
bool KeepFromDialog(const DialogKeyMessage& message, const std::vector<KeyCode>& inputCodes);
