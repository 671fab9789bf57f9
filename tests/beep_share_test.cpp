// Copies of the tool for different folders share the beep: it ends as the user had it before the
// first one started, whatever order they end in, and whether or not some were killed.
#include "dialog/beep_share.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

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

// Plays a session: "+1" copy 1 starts (and turns the beep off), "-1" it ends, "x1" it is killed;
// returns the live beep after each step, "1" on, "0" off, and the reads of the user's setting.
std::string Play(const char* steps, bool userSetting) {
    BeepShare share = {};
    bool beep = gProfileBeep = userSetting;
    gReads = 0;
    gRunning.clear();
    std::string shown;
    std::istringstream words(steps);
    for (std::string step; words >> step;) {
        uint32_t copy = static_cast<uint32_t>(std::stoul(step.substr(1)));
        bool userBeepOn = false;
        if (step[0] == '+' && gRunning.insert(copy).second &&
            JoinBeepShare(share, copy, IsRunning, ReadUserSetting))
            beep = false;
        else if (step[0] == '-' && LeaveBeepShare(share, copy, IsRunning, userBeepOn))
            beep = userBeepOn;
        if (step[0] != '+')
            gRunning.erase(copy);
        shown += beep ? '1' : '0';
    }
    return shown + ", " + std::to_string(gReads) + " read";
}

TEST(BeepShare, TheLastCopyToEndPutsBackWhatTheFirstFoundAndAKilledCopyIsDropped) {
    const std::tuple<const char*, bool, const char*> sessions[] = {
        // steps, user's setting, beep after each
        {"+1 +2 -1 -2", true, "0001, 1 read"},
        {"+1 +2 -2 -1", true, "0001, 1 read"},
        {"+1 +2 -1 -2", false, "0000, 1 read"},
        {"+1 +2 x1 -2", true, "0001, 1 read"}, // the copy left last puts it back
        {"+1 x1 +2 -2", true, "0001, 2 read"}, // the next start reads the user's setting again
    };
    for (auto [steps, userSetting, beep] : sessions)
        EXPECT_EQ(Play(steps, userSetting), beep) << steps << (userSetting ? ", beep on" : ", beep off");
}

TEST(BeepShare, AFullRecordLeavesTheBeepToTheCopiesInIt) {
    BeepShare share = {};
    gRunning.clear();
    for (uint32_t copy = 1; copy <= BeepShareSlots + 1; ++copy) {
        gRunning.insert(copy);
        EXPECT_EQ(JoinBeepShare(share, copy, IsRunning, ReadUserSetting), copy <= BeepShareSlots) << copy;
    }
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
