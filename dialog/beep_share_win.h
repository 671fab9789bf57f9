// The system beep is one setting of the whole logon session, and the dialog switches it off while
// it is up. Copies of the tool for different folders share it: it ends as the user had it, whatever
// order the copies end in, and whether or not some were killed.
#pragma once

// Switches the beep off for the session. Once per copy until RestoreSessionBeep.
void SwitchSessionBeepOff();
// Gives the user's setting back unless another copy still has the beep off. Nothing if never switched.
void RestoreSessionBeep();
