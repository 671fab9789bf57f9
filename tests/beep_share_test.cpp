// Two copies of the tool for different folders: the beep ends as the user had it before the first
// one started, although the second found it switched off.
#include "dialog/beep_share.h"

#include <gtest/gtest.h>

namespace {

bool gSystemBeep = true; // the session's setting, as both copies see it
int gReads = 0;

bool ReadSystemBeep() {
    ++gReads;
    return gSystemBeep;
}

// Returns the beep setting after both copies have ended.
bool RunTwoCopies(bool userSetting) {
    BeepShare share = {};
    gSystemBeep = userSetting;
    gReads = 0;
    JoinBeepShare(share, ReadSystemBeep);
    gSystemBeep = false; // the first copy's dialog switches it off
    JoinBeepShare(share, ReadSystemBeep);
    bool userBeepOn = false;
    for (int copy = 0; copy < 2; ++copy) {
        bool last = LeaveBeepShare(share, userBeepOn);
        EXPECT_EQ(last, copy == 1);
        if (last)
            gSystemBeep = userBeepOn;
    }
    EXPECT_EQ(gReads, 1) << "only the first copy reads the user's setting";
    return gSystemBeep;
}

TEST(BeepShare, TheLastCopyToEndPutsBackWhatTheFirstFound) {
    for (bool userSetting : {true, false})
        EXPECT_EQ(RunTwoCopies(userSetting), userSetting);
}

} // namespace
