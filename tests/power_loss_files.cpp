#include "tests/power_loss_files.h"

#include "settings/file_system.h"

#include <algorithm>
#include <random>
#include <set>

namespace {

constexpr size_t SectorSize = 512;

struct StoredFile {
    Bytes written, durable;
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
size_t gLoseAfter = 0;
TornParts gTorn = {TornParts::AllOld, 0};

// One of the old or the new form of each unflushed part, as the case chooses.
struct Chooser {
    std::mt19937 random;
    bool New() {
        if (gTorn.choice != TornParts::Mixed)
            return gTorn.choice == TornParts::AllNew;
        return (random() & 1) != 0;
    }
};

Bytes Survivor(const StoredFile& file, Chooser& chooser) {
    const Bytes &old = file.durable, &now = file.written;
    Bytes bytes(chooser.New() ? now.size() : old.size());
    for (size_t start = 0; start < bytes.size(); start += SectorSize) {
        size_t end = std::min(start + SectorSize, bytes.size());
        auto byteOf = [&](const Bytes& from, size_t at) { return at < from.size() ? from[at] : uint8_t{0}; };
        bool changed = false;
        for (size_t at = start; at < end; ++at)
            changed |= byteOf(old, at) != byteOf(now, at);
        bool useNew = changed && chooser.New();
        for (size_t at = start; at < end; ++at)
            bytes[at] = byteOf(useNew ? now : old, at);
    }
    return bytes;
}

void LosePower() {
    Chooser chooser = {std::mt19937(gTorn.seed)};
    gSurvived = {};
    for (const auto& [name, index] : gFolder.names) {
        Bytes bytes = Survivor(gFolder.files[index], chooser);
        gSurvived.names[name] = static_cast<int>(gSurvived.files.size());
        gSurvived.files.push_back({bytes, bytes});
    }
    gPowerOff = true;
}

// Records a call; false once the power is off.
bool Call(const char* name) {
    if (gPowerOff)
        return false;
    gCalls.push_back(name);
    return true;
}

// After a call has returned.
void Returned() {
    if (gArmed && !gInReplace && gCalls.size() == gLoseAfter)
        LosePower();
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

FileHandle OpenForReading(const char* name) {
    if (!Call("openForReading"))
        return NoFile;
    FileHandle file = Open(name);
    Returned();
    return file;
}

bool IsMissing(const char* name) {
    if (!Call("isMissing"))
        return false;
    bool missing = gFolder.names.count(name) == 0;
    Returned();
    return missing;
}

bool SizeOf(FileHandle handle, uint64_t* size) {
    if (!Call("sizeOf"))
        return false;
    StoredFile* file = FileOf(handle);
    if (file != nullptr) {
        *size = file->written.size();
        gOpen[handle].position = 0;
    }
    Returned();
    return file != nullptr;
}

bool ReadAll(FileHandle handle, uint8_t* bytes, size_t size) {
    if (!Call("readAll"))
        return false;
    StoredFile* file = FileOf(handle);
    size_t from = file != nullptr ? gOpen[handle].position : 0;
    bool read = file != nullptr && from + size <= file->written.size();
    if (read) {
        std::copy_n(file->written.begin() + static_cast<long>(from), size, bytes);
        gOpen[handle].position += size;
    }
    Returned();
    return read;
}

bool CanOpenForWriting(const char*) {
    if (!Call("canOpenForWriting"))
        return false;
    Returned();
    return true;
}

void MakeWritable(const char*) {
    if (Call("makeWritable"))
        Returned();
}

FileHandle CreateForWriting(const char* name) {
    if (!Call("createForWriting"))
        return NoFile;
    FileHandle handle = NoFile;
    if (gRefused.count(name) == 0) {
        if (gFolder.names.count(name) == 0) {
            gFolder.names[name] = static_cast<int>(gFolder.files.size());
            gFolder.files.push_back({});
        }
        handle = Open(name);
        FileOf(handle)->written.clear();
    }
    Returned();
    return handle;
}

FileHandle OpenExistingForWriting(const char* name) {
    if (!Call("openExistingForWriting"))
        return NoFile;
    FileHandle file = Open(name);
    Returned();
    return file;
}

bool WriteAll(FileHandle handle, const uint8_t* bytes, size_t size) {
    if (!Call("writeAll"))
        return false;
    StoredFile* file = FileOf(handle);
    if (file != nullptr) {
        size_t& position = gOpen[handle].position;
        file->written.resize(std::max(file->written.size(), position + size));
        std::copy_n(bytes, size, file->written.begin() + static_cast<long>(position));
        position += size;
    }
    Returned();
    return file != nullptr;
}

bool EndFileAt(FileHandle handle, uint64_t size) {
    if (!Call("endFileAt"))
        return false;
    StoredFile* file = FileOf(handle);
    if (file != nullptr)
        file->written.resize(size);
    Returned();
    return file != nullptr;
}

bool FlushToDisk(FileHandle handle) {
    if (!Call("flushToDisk"))
        return false;
    StoredFile* file = FileOf(handle);
    if (file != nullptr)
        file->durable = file->written;
    Returned();
    return file != nullptr;
}

bool CloseFile(FileHandle handle) {
    if (!Call("closeFile"))
        return false;
    bool open = FileOf(handle) != nullptr;
    if (open)
        gOpen[handle].file = -1;
    Returned();
    return open;
}

bool ReplaceFile(const char* source, const char* target) {
    if (!Call("replaceFile"))
        return false;
    auto moved = gFolder.names.find(source);
    if (moved == gFolder.names.end()) {
        Returned();
        return false;
    }
    int file = moved->second;
    gFolder.names.erase(target);
    if (gArmed && gInReplace && gCalls.size() == gLoseAfter + 1) {
        LosePower();
        return false;
    }
    gFolder.names.erase(source);
    gFolder.names[target] = file;
    Returned();
    return true;
}

void RemoveFile(const char* name) {
    if (!Call("removeFile"))
        return;
    gFolder.names.erase(name);
    Returned();
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
}

void PutFile(const std::string& name, const Bytes& bytes) {
    gFolder.names[name] = static_cast<int>(gFolder.files.size());
    gFolder.files.push_back({bytes, bytes});
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
