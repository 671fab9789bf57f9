// Test helpers that need no platform call.
#include "tests/test_support.h"

#include "settings/settings.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

namespace {

std::vector<std::string> gWarnings;

void RecordWarning(const char* text) {
    gWarnings.emplace_back(text);
}

void PutU32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

struct EntryGroup {
    uint32_t firstId;
    uint32_t count;
    bool inStandard;
    bool inMahjong;
};

constexpr EntryGroup EntryGroups[] = {
    {0x00000000, 4, true, false}, {0x00100000, 25, false, true}, {0x01000000, 6, true, false},
    {0x02000000, 3, true, true},  {0x10000000, 4, true, false},  {0x11000000, 6, true, false},
    {0x12000000, 3, true, false}, {0xF2000003, 1, true, true},   {0xF2000004, 1, true, true},
};

} // namespace

size_t StandardSlotByte(size_t slot) {
    return StandardKeyOffsets[slot] + KeyCodeInDevicePart;
}

Bytes BuildImageFromRules(LayoutKind layout, const BindingSettings* values) {
    static const uint8_t keyboardGuid[16] = {0x61, 0x2B, 0x1D, 0x6F, 0xA0, 0xD5, 0xCF, 0x11,
                                             0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
    const bool mahjong = layout == MahjongLayout;
    const KeyCode* keys = values == nullptr ? nullptr : mahjong ? values->mahjongKeys : values->standardKeys;
    Bytes out = {'O', 'R', 'V', 'N'};
    PutU32(out, 2);
    PutU32(out, 53);
    size_t slot = 0;
    for (const EntryGroup& group : EntryGroups) {
        for (uint32_t id = group.firstId; id < group.firstId + group.count; ++id) {
            bool bound = mahjong ? group.inMahjong : group.inStandard;
            PutU32(out, id);
            PutU32(out, bound ? 1 : 0);
            if (!bound)
                continue;
            KeyCode key = values == nullptr   ? 0x02
                          : id == 0xF2000003u ? values->systemKey
                          : id == 0xF2000004u ? values->exitKey
                                              : keys[slot++];
            out.insert(out.end(), std::begin(keyboardGuid), std::end(keyboardGuid));
            PutU32(out, 0x04u | uint32_t(key) << 8); // the key code is the device part's 18th byte
            PutU32(out, 1);
        }
    }
    PutU32(out, 260);
    for (size_t i = 0; i < DriverPathSize; ++i)
        out.push_back(values ? values->driverPath[i] : 0);
    out.push_back(0);
    out.push_back(values ? values->mahjongFlag : mahjong ? 1 : 0);
    out.push_back(values ? values->lowResolutionFlag : 0);
    out.push_back(values ? values->fourWayFlag : 0);
    out.push_back(values ? values->squareFlag : 0);
    return out;
}

void StartRecordingWarnings() {
    gWarnings.clear();
    gShowWarning = RecordWarning;
}

const std::vector<std::string>& RecordedWarnings() {
    return gWarnings;
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    previous = std::filesystem::current_path();
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path = std::filesystem::temp_directory_path() /
           ("orvane-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    std::filesystem::current_path(path);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, ignored);
    for (const auto& entry : std::filesystem::directory_iterator(path, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path, ignored);
}

Bytes ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FolderContents(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
