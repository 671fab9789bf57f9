#include "tests/power_loss_files.h"

#include "settings/file_system.h"

#include <algorithm>
#include <random>
#include <set>

namespace {

constexpr size_t SectorSize = 512;

struct StoredFile {
    Bytes written, durable;
    bool locked;
};

std::map<std::string, StoredFile> gFolder, gSurvived;
std::vector<std::string> gOpen; // the file name of each handle, empty once closed
std::set<std::string> gRefused;
std::vector<std::string> gCalls;
bool gPowerOff = false, gArmed = false, gInReplace = false;
size_t gLoseAfter = 0, gFailingCall = 0;
TornParts gTorn = {TornParts::AllOld, 0};

// Each unflushed sector, and the unflushed size, old or new as the case chooses.
Bytes Survivor(const StoredFile& file, std::mt19937& random) {
    auto isNew = [&] {
        return gTorn.choice == TornParts::Mixed ? (random() & 1) != 0 : gTorn.choice == TornParts::AllNew;
    };
    auto byteOf = [](const Bytes& from, size_t at) { return at < from.size() ? from[at] : uint8_t{0}; };
    const Bytes &old = file.durable, &now = file.written;
    Bytes bytes(isNew() ? now.size() : old.size());
    for (size_t start = 0; start < bytes.size(); start += SectorSize) {
        size_t end = std::min(start + SectorSize, bytes.size());
        bool changed = false;
        for (size_t at = start; at < end; ++at)
            changed |= byteOf(old, at) != byteOf(now, at);
        bool useNew = changed && isNew();
        for (size_t at = start; at < end; ++at)
            bytes[at] = byteOf(useNew ? now : old, at);
    }
    return bytes;
}

void LosePower() {
    std::mt19937 random(gTorn.seed);
    gSurvived.clear();
    for (const auto& [name, file] : gFolder) {
        Bytes bytes = Survivor(file, random);
        gSurvived[name] = {bytes, bytes, file.locked};
    }
    gPowerOff = true;
}

// Records and runs a call, unless the power is off or it is the call chosen to fail.
template <typename Result, typename Body> Result Call(const char* name, Result failed, Body body) {
    if (gPowerOff)
        return failed;
    gCalls.push_back(name);
    if (gCalls.size() == gFailingCall)
        return failed;
    Result result = body();
    if (gArmed && !gInReplace && gCalls.size() == gLoseAfter)
        LosePower();
    return result;
}

StoredFile* Find(const std::string& name) {
    auto found = gFolder.find(name);
    return found == gFolder.end() ? nullptr : &found->second;
}

bool IsLocked(const std::string& name) {
    return Find(name) != nullptr && Find(name)->locked;
}

StoredFile* FileOf(FileHandle handle) {
    return handle >= 0 && static_cast<size_t>(handle) < gOpen.size() ? Find(gOpen[handle]) : nullptr;
}

FileHandle Open(const std::string& name) {
    if (Find(name) == nullptr)
        return NoFile;
    gOpen.push_back(name);
    return static_cast<FileHandle>(gOpen.size() - 1);
}

// A call on an open file; false, doing nothing, for a handle that is not open.
template <typename Body> bool OnFile(const char* name, FileHandle handle, Body body) {
    return Call(name, false, [&] {
        StoredFile* file = FileOf(handle);
        if (file != nullptr)
            body(*file);
        return file != nullptr;
    });
}

// Reads and writes run from the start of the file, as every one of the load and the save does.
const FileSystem PowerLossFiles = {
    [](const char* name) { return Call("openForReading", NoFile, [&] { return Open(name); }); },
    [](const char* name) { return Call("isMissing", false, [&] { return Find(name) == nullptr; }); },
    [](FileHandle handle, uint64_t* size) {
        return OnFile("sizeOf", handle, [&](StoredFile& file) { *size = file.written.size(); });
    },
    [](FileHandle handle, uint8_t* bytes, size_t size) {
        return Call("readAll", false, [&] {
            StoredFile* file = FileOf(handle);
            bool read = file != nullptr && size <= file->written.size();
            if (read)
                std::copy_n(file->written.begin(), size, bytes);
            return read;
        });
    },
    [](const char* name) { return Call("canOpenForWriting", false, [&] { return !IsLocked(name); }); },
    [](const char* name) {
        Call("makeWritable", 0, [&] {
            if (IsLocked(name))
                Find(name)->locked = false;
            return 0;
        });
    },
    [](const char* name) {
        return Call("createForWriting", NoFile, [&] {
            if (gRefused.count(name) != 0 || IsLocked(name))
                return NoFile;
            gFolder[name].written.clear();
            return Open(name);
        });
    },
    [](const char* name) { return Call("openExistingForWriting", NoFile, [&] { return Open(name); }); },
    [](FileHandle handle, const uint8_t* bytes, size_t size) {
        return OnFile("writeAll", handle, [&](StoredFile& file) {
            file.written.resize(std::max(file.written.size(), size));
            std::copy_n(bytes, size, file.written.begin());
        });
    },
    [](FileHandle handle, uint64_t size) {
        return OnFile("endFileAt", handle, [&](StoredFile& file) { file.written.resize(size); });
    },
    [](FileHandle handle) {
        return OnFile("flushToDisk", handle, [&](StoredFile& file) { file.durable = file.written; });
    },
    [](FileHandle handle) {
        return OnFile("closeFile", handle, [&](StoredFile&) { gOpen[handle].clear(); });
    },
    [](const char* source, const char* target) {
        return Call("replaceFile", false, [&] {
            StoredFile* moved = Find(source);
            if (moved == nullptr)
                return false;
            StoredFile file = *moved;
            gFolder.erase(target);
            if (gArmed && gInReplace && gCalls.size() == gLoseAfter + 1) {
                LosePower();
                return false;
            }
            gFolder.erase(source);
            gFolder[target] = file;
            return true;
        });
    },
    [](const char* name) { Call("removeFile", 0, [&] { return static_cast<int>(gFolder.erase(name)); }); },
};

} // namespace

void UsePowerLossFolder() {
    gFileSystem = PowerLossFiles;
    gFolder.clear();
    gOpen.clear();
    gRefused.clear();
    gCalls.clear();
    gPowerOff = gArmed = false;
    gFailingCall = 0;
}

void PutFile(const std::string& name, const Bytes& bytes, bool locked) {
    gFolder[name] = {bytes, bytes, locked};
}

void RefuseToCreate(const std::string& name) {
    gRefused.insert(name);
}

std::map<std::string, Bytes> FilesNow() {
    std::map<std::string, Bytes> files;
    for (const auto& [name, file] : gFolder)
        files[name] = file.written;
    return files;
}

const std::vector<std::string>& CallsMade() {
    return gCalls;
}

void FailCall(size_t number) {
    gFailingCall = number;
}

void LosePowerAfter(size_t calls, bool inReplace, TornParts torn) {
    gArmed = true;
    gInReplace = inReplace;
    gLoseAfter = calls;
    gTorn = torn;
    if (!inReplace && calls == gCalls.size())
        LosePower();
}

void RestartAfterPowerLoss() {
    if (gPowerOff)
        gFolder = gSurvived;
    gOpen.clear();
    gCalls.clear();
    gPowerOff = gArmed = false;
}
