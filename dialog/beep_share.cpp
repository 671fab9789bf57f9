#include "dialog/beep_share.h"

void JoinBeepShare(BeepShare& share, bool (*readUserSetting)()) {
    if (share.copies == 0)
        share.userBeepOn = readUserSetting() ? 1 : 0;
    ++share.copies;
}

bool LeaveBeepShare(BeepShare& share, bool& userBeepOn) {
    if (share.copies > 0)
        --share.copies;
    userBeepOn = share.userBeepOn != 0;
    return share.copies == 0;
}
