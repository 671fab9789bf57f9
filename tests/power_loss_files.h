// A folder in memory behind the file seam that can lose power after a chosen call: each file keeps
// what is durable (flushed) beside what is only written; an unflushed 512-byte sector or size comes
// back as it was before or as written. One chosen call can also fail instead, doing nothing.
#pragma once

#include "tests/test_support.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// How the written but unflushed parts of the files come back after a power loss.
struct TornParts {
    enum Choice { AllOld, AllNew, Mixed } choice;
    uint32_t seed; // of the mix
};

// Puts the folder in place of the real files, empty, with the power on.
void UsePowerLossFolder();
// A durable file; a locked one cannot be truncated until it is made writable (Windows' hidden,
// system and read-only attributes).
void PutFile(const std::string& name, const Bytes& bytes, bool locked = false);
void RefuseToCreate(const std::string& name);
// Every file of the folder, as the programs see it now.
std::map<std::string, Bytes> FilesNow();

// The names of the file calls made since the folder was put in place or last restarted.
const std::vector<std::string>& CallsMade();

// The call of that number (from 1) fails and does nothing.
void FailCall(size_t number);
// The power goes off once `calls` more calls have returned (at once for 0), or, with `inReplace`, in
// the middle of the call after them, a replace, after the target is removed and before the source
// takes its name (FAT32's two directory writes). Calls after the loss fail.
void LosePowerAfter(size_t calls, bool inReplace, TornParts torn);
// The power comes back: the folder holds what survived, and the call record starts again.
void RestartAfterPowerLoss();
