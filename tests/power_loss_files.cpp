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

struct Folder {
    std::map<std::string, int> names; // to files
    std::vector<StoredFile> files;
};

struct OpenFile {
    int file;
    size_t position;
};

Folder gFolder, gSurvived;
std::vector<OpenFile> gOpen;
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
    gSurvived = {};
    for (const auto& [name, index] : gFolder.names) {
        Bytes bytes = Survivor(gFolder.files[index], random);
        gSurvived.names[name] = static_cast<int>(gSurvived.files.size());
        gSurvived.files.push_back({bytes, bytes, gFolder.files[index].locked});
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

StoredFile* FileOf(FileHandle handle) {
    if (handle < 0 || static_cast<size_t>(handle) >= gOpen.size() || gOpen[handle].file < 0)
        return nullptr;
    return &gFolder.files[gOpen[handle].file];
}

FileHandle Open(const std::string& name) {
    auto found = gFolder.names.find(name);
    if (found == gFolder.names.end())
        return NoFile;
    gOpen.push_back({found->second, 0});
    return static_cast<FileHandle>(gOpen.size() - 1);
}

bool IsLocked(const char* name) {
    auto found = gFolder.names.find(name);
    return found != gFolder.names.end() && gFolder.files[found->second].locked;
}

FileHandle OpenForReading(const char* name) {
    return Call("openForReading", NoFile, [&] { return Open(name); });
}

bool IsMissing(const char* name) {
    return Call("isMissing", false, [&] { return gFolder.names.count(name) == 0; });
}

bool SizeOf(FileHandle handle, uint64_t* size) {
    return Call("sizeOf", false, [&] {
        StoredFile* file = FileOf(handle);
        if (file != nullptr) {
            *size = file->written.size();
            gOpen[handle].position = 0;
        }
        return file != nullptr;
    });
}

bool ReadAll(FileHandle handle, uint8_t* bytes, size_t size) {
    return Call("readAll", false, [&] {
        StoredFile* file = FileOf(handle);
        if (file == nullptr || gOpen[handle].position + size > file->written.size())
            return false;
        std::copy_n(file->written.begin() + static_cast<long>(gOpen[handle].position), size, bytes);
        gOpen[handle].position += size;
        return true;
    });
}

bool CanOpenForWriting(const char* name) {
    return Call("canOpenForWriting", false, [&] { return !IsLocked(name); });
}

void MakeWritable(const char* name) {
    Call("makeWritable", 0, [&] {
        if (auto found = gFolder.names.find(name); found != gFolder.names.end())
            gFolder.files[found->second].locked = false;
        return 0;
    });
}

FileHandle CreateForWriting(const char* name) {
    return Call("createForWriting", NoFile, [&] {
        if (gRefused.count(name) != 0 || IsLocked(name))
            return NoFile;
        if (gFolder.names.count(name) == 0) {
            gFolder.names[name] = static_cast<int>(gFolder.files.size());
            gFolder.files.push_back({});
        }
        FileHandle handle = Open(name);
        FileOf(handle)->written.clear();
        return handle;
    });
}

FileHandle OpenExistingForWriting(const char* name) {
    return Call("openExistingForWriting", NoFile, [&] { return Open(name); });
}

bool WriteAll(FileHandle handle, const uint8_t* bytes, size_t size) {
    return Call("writeAll", false, [&] {
        StoredFile* file = FileOf(handle);
        if (file == nullptr)
            return false;
        size_t& position = gOpen[handle].position;
        file->written.resize(std::max(file->written.size(), position + size));
        std::copy_n(bytes, size, file->written.begin() + static_cast<long>(position));
        position += size;
        return true;
    });
}

bool EndFileAt(FileHandle handle, uint64_t size) {
    return Call("endFileAt", false, [&] {
        StoredFile* file = FileOf(handle);
        if (file != nullptr)
            file->written.resize(size);
        return file != nullptr;
    });
}

bool FlushToDisk(FileHandle handle) {
    return Call("flushToDisk", false, [&] {
        StoredFile* file = FileOf(handle);
        if (file != nullptr)
            file->durable = file->written;
        return file != nullptr;
    });
}

bool CloseFile(FileHandle handle) {
    return Call("closeFile", false, [&] {
        bool open = FileOf(handle) != nullptr;
        if (open)
            gOpen[handle].file = -1;
        return open;
    });
}

bool ReplaceFile(const char* source, const char* target) {
    return Call("replaceFile", false, [&] {
        auto moved = gFolder.names.find(source);
        if (moved == gFolder.names.end())
            return false;
        int file = moved->second;
        gFolder.names.erase(target);
        if (gArmed && gInReplace && gCalls.size() == gLoseAfter + 1) {
            LosePower();
            return false;
        }
        gFolder.names.erase(source);
        gFolder.names[target] = file;
        return true;
    });
}

void RemoveFile(const char* name) {
    Call("removeFile", 0, [&] { return static_cast<int>(gFolder.names.erase(name)); });
}

} // namespace

void UsePowerLossFolder() {
    gFileSystem = {OpenForReading,    IsMissing,    SizeOf,           ReadAll,
                   CanOpenForWriting, MakeWritable, CreateForWriting, OpenExistingForWriting,
                   WriteAll,          EndFileAt,    FlushToDisk,      CloseFile,
                   ReplaceFile,       RemoveFile};
    gFolder = {};
    gOpen.clear();
    gRefused.clear();
    gCalls.clear();
    gPowerOff = gArmed = false;
    gFailingCall = 0;
}

void PutFile(const std::string& name, const Bytes& bytes, bool locked) {
    gFolder.names[name] = static_cast<int>(gFolder.files.size());
    gFolder.files.push_back({bytes, bytes, locked});
}

void RefuseToCreate(const std::string& name) {
    gRefused.insert(name);
}

std::map<std::string, Bytes> FilesNow() {
    std::map<std::string, Bytes> files;
    for (const auto& [name, index] : gFolder.names)
        files[name] = gFolder.files[index].written;
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
