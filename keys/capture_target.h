// Which byte of the settings record a capture button assigns.
#pragma once

#include "settings/settings.h"

// The system or exit key for their buttons; otherwise the key slot of the button in the current
// layout. Null for an ID that names no slot of the current layout.
KeyCode* CaptureTarget(int buttonId);

// The key field that shows a capture's countdown and result.
int KeyFieldOfButton(int buttonId);
