// The system beep switched off while the dialog is up, through the session's shared record of it.
#pragma once

// Switches the beep off; the first copy of the session keeps the user's setting. Once per copy
// until RestoreSessionBeep. Nothing when the session's record cannot be had.
void SwitchSessionBeepOff();

// Puts the user's setting back if no other copy still has the beep off. Nothing if never switched.
void RestoreSessionBeep();
