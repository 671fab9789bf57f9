#include "dialog/beep_share.h"

#include <cwctype>

namespace {

void DropEndedCopies(BeepShare& share, ProcessRunning isRunning) {
    for (uint32_t& copy : share.copies)
        if (copy != 0 && !isRunning(copy))
            copy = 0;
}

bool AnyCopyListed(const BeepShare& share) {
    for (uint32_t copy : share.copies)
        if (copy != 0)
            return true;
    return false;
}

bool SameWord(std::wstring_view value, std::wstring_view word) {
    if (value.size() != word.size())
        return false;
    for (size_t i = 0; i < value.size(); ++i)
        if (std::towlower(static_cast<wint_t>(value[i])) != static_cast<wint_t>(word[i]))
            return false;
    return true;
}

} // namespace

bool JoinBeepShare(BeepShare& share, uint32_t processId, ProcessRunning isRunning,
                   bool (*readUserSetting)()) {
    DropEndedCopies(share, isRunning);
    uint32_t* freeSlot = nullptr;
    for (uint32_t& copy : share.copies)
        if (copy == 0 && freeSlot == nullptr)
            freeSlot = &copy;
    if (freeSlot == nullptr)
        return false;
    if (!AnyCopyListed(share))
        share.userBeepOn = readUserSetting() ? 1 : 0;
    *freeSlot = processId;
    return true;
}

bool LeaveBeepShare(BeepShare& share, uint32_t processId, ProcessRunning isRunning, bool& userBeepOn) {
    DropEndedCopies(share, isRunning);
    for (uint32_t& copy : share.copies)
        if (copy == processId)
            copy = 0;
    userBeepOn = share.userBeepOn != 0;
    return !AnyCopyListed(share);
}

bool UserBeepSetting(std::wstring_view profileValue, bool liveSetting) {
    if (SameWord(profileValue, L"yes"))
        return true;
    if (SameWord(profileValue, L"no"))
        return false;
    return liveSetting;
}
