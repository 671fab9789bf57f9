// The two built-in images of the bindings file and the sizes the load depends on.
#include "settings/bindings_file.h"

#include <algorithm>

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
