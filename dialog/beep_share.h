// The system beep is one setting of the whole logon session, and the dialog switches it off while
// it is up. Copies of the tool for different folders share one record of it, so the beep ends as it
// was before the first copy started, whatever order the copies end in: only the first copy reads
// the user's setting, and only the last one puts it back.
#pragma once

#include <cstdint>

struct BeepShare {
    uint32_t copies;     // copies that have switched the beep off and not yet put it back
    uint32_t userBeepOn; // the user's setting, as the first of them found it
};

// A copy about to switch the beep off. `readUserSetting` is called only when no other copy has.
void JoinBeepShare(BeepShare& share, bool (*readUserSetting)());

// A copy that is done. True when it was the last, with the user's setting in `userBeepOn`.
bool LeaveBeepShare(BeepShare& share, bool& userBeepOn);
