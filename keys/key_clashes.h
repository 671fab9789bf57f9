// Inputs that share a key: two inputs on one key fire together, and an exit key shared with a
// player's start button ends the game when the player starts. The dialog marks them; it never
// refuses them, since a double binding may be meant.
#pragma once

#include "keys/key_codes.h"

#include <vector>

// For each input's code, whether another input holds the same code. NoKey (an input left with no
// key) never clashes.
std::vector<bool> ClashingInputs(const std::vector<KeyCode>& codes);
