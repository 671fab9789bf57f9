// The built-in images against the format rules, and the offset tables against the entries they name.
#include "settings/bindings_file.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

namespace {

uint32_t U32At(const uint8_t* bytes, size_t offset) {
    return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 | uint32_t(bytes[offset + 2]) << 16 |
           uint32_t(bytes[offset + 3]) << 24;
}

struct ParsedEntry {
    uint32_t id;
    int64_t devicePart; // -1 when unbound
};

// Walks the entries with the format's own rules; returns where the walk ended.
size_t WalkEntries(const LayoutTemplate& image, std::vector<ParsedEntry>& entries) {
    size_t at = 12;
    for (uint32_t i = 0; i < U32At(image.bytes, 8); ++i) {
        ParsedEntry entry = {U32At(image.bytes, at), -1};
        bool bound = U32At(image.bytes, at + 4) == 1;
        if (bound)
            entry.devicePart = static_cast<int64_t>(at + 8);
        entries.push_back(entry);
        at += bound ? 32 : 8;
    }
    return at;
}

Bytes AsBytes(const LayoutTemplate& image) {
    return Bytes(image.bytes, image.bytes + image.size);
}

// Entry index of each key slot, in slot order.
std::vector<size_t> SlotEntries(LayoutKind layout) {
    std::vector<size_t> entries;
    auto add = [&](size_t first, size_t last) {
        for (size_t e = first; e <= last; ++e)
            entries.push_back(e);
    };
    if (layout == MahjongLayout) {
        add(4, 28);
        add(35, 37);
    } else {
        add(0, 3);
        add(29, 50);
    }
    return entries;
}

class BuiltInImage : public ::testing::TestWithParam<LayoutKind> {
  protected:
    void SetUp() override { InstallTemplates(); }
    const LayoutTemplate& Image() const { return TemplateFor(GetParam()); }
};

TEST_P(BuiltInImage, EqualsTheImageBuiltFromTheFormatRules) {
    ASSERT_NE(Image().bytes, nullptr);
    EXPECT_EQ(AsBytes(Image()), BuildImageFromRules(GetParam()));
    EXPECT_EQ(Image().size, GetParam() == MahjongLayout ? MahjongFileSize : StandardFileSize);
}

TEST_P(BuiltInImage, EveryKeyOffsetPointsAtTheKeyByteOfItsSlotsEntry) {
    std::vector<ParsedEntry> entries;
    WalkEntries(Image(), entries);
    const uint32_t* offsets =
        GetParam() == MahjongLayout ? MahjongKeyOffsets.data() : StandardKeyOffsets.data();
    std::vector<size_t> slots = SlotEntries(GetParam());
    ASSERT_EQ(slots.size(), GetParam() == MahjongLayout ? MahjongKeyCount : StandardKeyCount);
    std::vector<uint32_t> ids = EntryIds();
    for (size_t slot = 0; slot < slots.size(); ++slot) {
        const ParsedEntry& entry = entries[slots[slot]];
        EXPECT_EQ(entry.id, ids[slots[slot]]) << "slot " << slot;
        EXPECT_EQ(entry.devicePart, int64_t(offsets[slot])) << "slot " << slot;
        EXPECT_EQ(Image().bytes[offsets[slot] + KeyCodeInDevicePart], 0x02) << "slot " << slot;
    }
}

TEST_P(BuiltInImage, TrailerOffsetsPointAtTheSystemAndExitEntriesAndTheTrailerFields) {
    std::vector<ParsedEntry> entries;
    WalkEntries(Image(), entries);
    uint32_t size = Image().size;
    EXPECT_EQ(entries[51].id, 0xF2000003u);
    EXPECT_EQ(entries[51].devicePart, int64_t(TrailerPosition(size, SystemKeyPart)));
    EXPECT_EQ(entries[52].id, 0xF2000004u);
    EXPECT_EQ(entries[52].devicePart, int64_t(TrailerPosition(size, ExitKeyPart)));
    EXPECT_EQ(TrailerPosition(size, DriverPathStart), size - 264 + 4);
    EXPECT_EQ(Image().bytes[TrailerPosition(size, MahjongFlagPosition)], GetParam() == MahjongLayout ? 1 : 0);
    for (TrailerField flag : {LowResolutionFlagPosition, FourWayFlagPosition, SquareFlagPosition})
        EXPECT_EQ(Image().bytes[TrailerPosition(size, flag)], 0) << "trailer field " << flag;
    EXPECT_EQ(Image().bytes[TrailerPosition(size, DriverPathStart)], 0) << "the path reads as empty";
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, BuiltInImage, ::testing::Values(StandardLayout, MahjongLayout),
                         [](const auto& test) {
                             return test.param == MahjongLayout ? "Mahjong" : "Standard";
                         });

} // namespace
