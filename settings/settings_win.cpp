// The built-in images of the bindings file as program resources.
#include "settings/settings_win.h"

#include "resources/resource.h"
#include "settings/bindings_file.h"
#include "settings/settings.h"

namespace {

// An image that is missing or of the wrong size is left out, and the save then reports its failure.
LayoutTemplate LocateTemplate(HMODULE module, int id, uint32_t expectedSize) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"BINARY");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || SizeofResource(module, found) != expectedSize)
        return {nullptr, 0};
    return {static_cast<const uint8_t*>(bytes), expectedSize};
}

} // namespace

bool LocateTemplates(HMODULE module) {
    gStandardTemplate = LocateTemplate(module, IDR_STANDARD_TEMPLATE, StandardFileSize);
    gMahjongTemplate = LocateTemplate(module, IDR_MAHJONG_TEMPLATE, MahjongFileSize);
    return gStandardTemplate.bytes != nullptr && gMahjongTemplate.bytes != nullptr;
}
