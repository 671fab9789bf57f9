// The two built-in images of the bindings file and the sizes the load depends on.
#include "settings/bindings_file.h"

#include <algorithm>
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

namespace {

// Puts the bytes that a save fills from the record at their places in a file of `size` bytes.
void CopyEditableBytes(LayoutKind layout, uint32_t size, const uint8_t* from, uint8_t* to) {
    auto copy = [&](uint32_t position) { to[position] = from[position]; };
    copy(TrailerPosition(size, SystemKeyPart) + KeyCodeInDevicePart);
    copy(TrailerPosition(size, ExitKeyPart) + KeyCodeInDevicePart);
    for (uint32_t i = 0; i < DriverPathSize; ++i)
        copy(TrailerPosition(size, DriverPathStart) + i);
    for (TrailerField flag :
         {MahjongFlagPosition, LowResolutionFlagPosition, FourWayFlagPosition, SquareFlagPosition})
        copy(TrailerPosition(size, flag));
    if (layout == MahjongLayout)
        for (uint32_t part : MahjongKeyOffsets)
            copy(part + KeyCodeInDevicePart);
    else
        for (uint32_t part : StandardKeyOffsets)
            copy(part + KeyCodeInDevicePart);
}

} // namespace

bool IsWholeImage(const uint8_t* bytes, size_t size) {
    for (LayoutKind layout : {StandardLayout, MahjongLayout}) {
        const LayoutTemplate& image = TemplateFor(layout);
        if (image.bytes == nullptr || size != image.size)
            continue;
        bool namesMahjong = bytes[TrailerPosition(image.size, MahjongFlagPosition)] == 1;
        if (namesMahjong != (layout == MahjongLayout))
            return false;
        std::vector<uint8_t> expected(image.bytes, image.bytes + image.size);
        CopyEditableBytes(layout, image.size, bytes, expected.data());
        return std::equal(expected.begin(), expected.end(), bytes);
    }
    return false;
}
