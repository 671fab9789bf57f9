// The system beep is one setting of the whole logon session, and the dialog switches it off while
// it is up. Copies of the tool for different folders share one record of it, so the beep ends as it
// was before the first copy started, whatever order the copies end in: only the first copy reads
// the user's setting, and only the last one puts it back. The record lists the copies by process
// ID, and every copy that uses it drops the ones that have ended, so a copy ended from Task Manager
// or by a crash does not keep the beep off for good.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr int BeepShareSlots = 63;

struct BeepShare {
    uint32_t userBeepOn;             // the user's setting, as the first copy found it
    uint32_t copies[BeepShareSlots]; // process IDs of the copies that have the beep off; 0 = free
};

using ProcessRunning = bool (*)(uint32_t processId);

// A copy about to switch the beep off. `readUserSetting` is called only when no running copy is
// listed. False when the record has no room: the copy then leaves the beep alone.
bool JoinBeepShare(BeepShare& share, uint32_t processId, ProcessRunning isRunning, bool (*readUserSetting)());

// A copy that is done. True when no running copy is left, with the user's setting in `userBeepOn`.
bool LeaveBeepShare(BeepShare& share, uint32_t processId, ProcessRunning isRunning, bool& userBeepOn);

// The user's own setting: the profile's "yes" or "no" where it holds one, which a copy that was
// killed while the beep was off has not changed; otherwise the live setting.
bool UserBeepSetting(std::wstring_view profileValue, bool liveSetting);
