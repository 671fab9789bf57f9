// The load reads only the bytes the offset tables name. The save writes the layout's image with the
// record put in to a new file that takes the old one's place: nothing is ever left half-written.
#include "settings/settings.h"

#include "settings/file_system.h"
#include "settings/layout_inputs.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

LayoutTemplate gStandardTemplate = {nullptr, 0};
LayoutTemplate gMahjongTemplate = {nullptr, 0};

const LayoutTemplate& TemplateFor(LayoutKind layout) {
    return layout == MahjongLayout ? gMahjongTemplate : gStandardTemplate;
}

uint32_t SmallestReadableSize(LayoutKind layout) {
    uint32_t lastKeyPart = layout == MahjongLayout ? MahjongKeyOffsets.back() : StandardKeyOffsets.back();
    uint32_t trailerReach = *std::max_element(TrailerOffsets.begin(), TrailerOffsets.end());
    return std::max(lastKeyPart + KeyCodeInDevicePart + 1, trailerReach - KeyCodeInDevicePart);
}

BindingSettings gSettings;

WarningFunction gShowWarning = [](const char*) {};

static constexpr char TemporaryFileName[] = "orvane_bindings.bin.new";

void ClearLeadingBlock() {
    std::memset(&gSettings, 0, LeadingBlockSize);
}

namespace {

bool Warn(const char* text) {
    gShowWarning(text);
    return false;
}

bool HasReadableShape(const std::vector<uint8_t>& bytes) {
    if (bytes.size() < TrailerOffsets[MahjongFlagPosition])
        return false;
    uint32_t size = static_cast<uint32_t>(bytes.size());
    LayoutKind layout =
        bytes[TrailerPosition(size, MahjongFlagPosition)] == 1 ? MahjongLayout : StandardLayout;
    return bytes.size() >= SmallestReadableSize(layout);
}

// The inputs come last and follow the record's layout as it stands then: a load has just stored the
// file's mahjong flag.
template <typename Visit> void ForEachStoredField(BindingSettings& record, uint32_t size, Visit visit) {
    uint32_t path = TrailerPosition(size, DriverPathStart);
    for (uint32_t i = 0; i < DriverPathSize; ++i)
        visit(path + i, record.driverPath[i]);
    visit(TrailerPosition(size, MahjongFlagPosition), record.mahjongFlag);
    visit(TrailerPosition(size, LowResolutionFlagPosition), record.lowResolutionFlag);
    visit(TrailerPosition(size, FourWayFlagPosition), record.fourWayFlag);
    visit(TrailerPosition(size, SquareFlagPosition), record.squareFlag);
    for (const LayoutInput& input : InputsOf(LayoutOf(record)))
        visit(KeyPosition(input, size), KeyOf(record, input));
}

void CopyFileIntoRecord(const std::vector<uint8_t>& bytes, BindingSettings& record) {
    ForEachStoredField(record, static_cast<uint32_t>(bytes.size()),
                       [&](uint32_t position, uint8_t& field) { field = bytes[position]; });
}

bool ComposeImage(BindingSettings& record, std::vector<uint8_t>& bytes) {
    const LayoutTemplate& image = TemplateFor(LayoutOf(record));
    if (image.bytes == nullptr)
        return false;
    bytes.assign(image.bytes, image.bytes + image.size);
    ForEachStoredField(record, image.size,
                       [&](uint32_t position, const uint8_t& field) { bytes[position] = field; });
    return true;
}

bool WriteWhole(FileHandle file, const std::vector<uint8_t>& bytes) {
    bool written = gFileSystem.writeAll(file, bytes.data(), bytes.size()) &&
                   gFileSystem.endFileAt(file, bytes.size()) && gFileSystem.flushToDisk(file);
    bool closed = gFileSystem.closeFile(file);
    return written && closed;
}

// False, with no new file left behind, when it cannot be created, written or moved.
bool SaveByReplacing(const std::vector<uint8_t>& bytes) {
    gFileSystem.makeWritable(TemporaryFileName); // a leftover that took the old file's attributes
    FileHandle file = gFileSystem.createForWriting(TemporaryFileName);
    if (file == NoFile)
        return false;
    if (WriteWhole(file, bytes) && gFileSystem.replaceFile(TemporaryFileName, BindingsFileName))
        return true;
    gFileSystem.removeFile(TemporaryFileName);
    return false;
}

// For when no new file can take the old one's place. A longer file is cut first; if the cut is
// refused (another program maps the file), it is left whole, not with the old trailer behind.
bool SaveInPlace(const std::vector<uint8_t>& bytes) {
    FileHandle file = gFileSystem.openExistingForWriting(BindingsFileName);
    if (file == NoFile)
        return Warn(CouldNotOpenOnSaveWarning);
    uint64_t size = 0;
    bool cut = gFileSystem.sizeOf(file, &size) &&
               (size <= bytes.size() || gFileSystem.endFileAt(file, bytes.size()));
    if (!cut)
        gFileSystem.closeFile(file);
    return (cut && WriteWhole(file, bytes)) || Warn(SaveFailedWarning);
}

// False unless the whole file has a shape the load accepts; one too large for memory has none.
bool ReadLoadableAndClose(FileHandle file, std::vector<uint8_t>& bytes) {
    uint64_t size = 0;
    bool read = gFileSystem.sizeOf(file, &size) && size > 1 && size <= SIZE_MAX;
    try {
        bytes.resize(read ? static_cast<size_t>(size) : 0);
    } catch (const std::bad_alloc&) {
        read = false;
    }
    read = read && gFileSystem.readAll(file, bytes.data(), bytes.size());
    gFileSystem.closeFile(file);
    return read && HasReadableShape(bytes);
}

// A power cut in the save's replace on FAT32 can leave the new file alone. Only one that is exactly
// an image a save writes takes the missing file's place.
void FinishInterruptedSave() {
    std::vector<uint8_t> bytes;
    if (!gFileSystem.isMissing(BindingsFileName))
        return;
    FileHandle file = gFileSystem.openForReading(TemporaryFileName);
    if (file != NoFile && ReadLoadableAndClose(file, bytes) && IsWholeImage(bytes.data(), bytes.size()))
        gFileSystem.replaceFile(TemporaryFileName, BindingsFileName);
}

} // namespace

bool IsWholeImage(const uint8_t* bytes, size_t size) {
    const LayoutTemplate& sized = TemplateFor(size == MahjongFileSize ? MahjongLayout : StandardLayout);
    if (sized.bytes == nullptr || size != sized.size)
        return false;
    std::vector<uint8_t> file(bytes, bytes + size), image;
    BindingSettings record = {};
    CopyFileIntoRecord(file, record);
    return ComposeImage(record, image) && image == file;
}

bool LoadSettings() {
    FinishInterruptedSave();
    FileHandle file = gFileSystem.openForReading(BindingsFileName);
    if (file == NoFile)
        return Warn(CouldNotOpenWarning);
    std::vector<uint8_t> bytes;
    if (!ReadLoadableAndClose(file, bytes))
        return Warn(ReadFailedWarning);
    CopyFileIntoRecord(bytes, gSettings);
    return true;
}

bool SaveSettings() {
    std::vector<uint8_t> bytes;
    if (!ComposeImage(gSettings, bytes))
        return Warn(SaveFailedWarning);
    if (!gFileSystem.canOpenForWriting(BindingsFileName))
        return Warn(CouldNotOpenOnSaveWarning);
    return SaveByReplacing(bytes) || SaveInPlace(bytes);
}
