// Copies of the tool for different folders share the beep: it ends as the user had it before the
// first one started, whatever order they end in, and whether or not some were killed.
#include "dialog/beep_share.h"

#include <gtest/gtest.h>

#include <set>

namespace {

bool gSystemBeep = true;  // the session's live setting, as every copy sees it
bool gProfileBeep = true; // the user's setting in the profile, which no copy writes
int gReads = 0;
std::set<uint32_t> gRunning;

bool ReadUserSetting() {
    ++gReads;
    return gProfileBeep;
}

bool IsRunning(uint32_t processId) {
    return gRunning.count(processId) != 0;
}

struct Session {
    BeepShare share = {};
    explicit Session(bool userSetting) {
        gSystemBeep = gProfileBeep = userSetting;
        gReads = 0;
        gRunning.clear();
    }
    void Start(uint32_t copy) {
        gRunning.insert(copy);
        ASSERT_TRUE(JoinBeepShare(share, copy, IsRunning, ReadUserSetting));
        gSystemBeep = false;
    }
    void End(uint32_t copy) {
        bool userBeepOn = false;
        if (LeaveBeepShare(share, copy, IsRunning, userBeepOn))
            gSystemBeep = userBeepOn;
        gRunning.erase(copy);
    }
    void Kill(uint32_t copy) { gRunning.erase(copy); }
};

TEST(BeepShare, TheLastCopyToEndPutsBackWhatTheFirstFound) {
    for (bool userSetting : {true, false}) {
        for (uint32_t firstToEnd : {100, 200}) {
            Session session(userSetting);
            session.Start(100);
            session.Start(200);
            session.End(firstToEnd);
            EXPECT_FALSE(gSystemBeep) << "one copy still runs";
            session.End(300 - firstToEnd);
            EXPECT_EQ(gSystemBeep, userSetting);
            EXPECT_EQ(gReads, 1) << "only the first copy reads the user's setting";
        }
    }
}

// The copy left last puts the beep back; the next start reads the user's setting again, not the
// killed copy's off.
TEST(BeepShare, AKilledCopyNeitherKeepsTheBeepOffNorPassesOffForTheUsersSetting) {
    Session session(true);
    session.Start(100);
    session.Start(200);
    session.Kill(100);
    session.End(200);
    EXPECT_TRUE(gSystemBeep);
    session.Start(300);
    session.Kill(300);
    session.Start(400);
    session.End(400);
    EXPECT_TRUE(gSystemBeep);
    EXPECT_EQ(gReads, 3) << "each copy that found no running copy listed";
}

TEST(BeepShare, AFullRecordLeavesTheBeepToTheCopiesInIt) {
    BeepShare share = {};
    gRunning.clear();
    for (uint32_t copy = 1; copy <= BeepShareSlots; ++copy) {
        gRunning.insert(copy);
        EXPECT_TRUE(JoinBeepShare(share, copy, IsRunning, ReadUserSetting));
    }
    gRunning.insert(1000);
    EXPECT_FALSE(JoinBeepShare(share, 1000, IsRunning, ReadUserSetting));
}

TEST(BeepShare, TheProfilesYesOrNoIsTheUsersSettingAndTheLiveOneOtherwise) {
    const std::tuple<const wchar_t*, bool, bool> cases[] = {// profile, live, user's setting
                                                            {L"yes", false, true},
                                                            {L"Yes", false, true},
                                                            {L"no", true, false},
                                                            {L"", true, true},
                                                            {L"maybe", false, false}};
    for (auto [profile, live, setting] : cases)
        EXPECT_EQ(UserBeepSetting(profile, live), setting) << std::wstring(profile).size();
}

} // namespace
