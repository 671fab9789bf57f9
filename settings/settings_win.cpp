// The built-in images of the bindings file as program resources, and the warning box.
#include "settings/settings_win.h"

#include "resources/resource.h"
#include "settings/bindings_file.h"
#include "settings/settings.h"

#include <string>

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

namespace {
HWND gWarningOwner = nullptr;
}

void ShowWarningBox(const char* text) {
    std::wstring wide;
    for (const char* c = text; *c != '\0'; ++c)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    MessageBoxW(gWarningOwner, wide.c_str(), L"Error!", MB_ICONWARNING | MB_OK);
}

void ShowDialogWarning(HWND dialog, const char* text) {
    gWarningOwner = dialog;
    gShowWarning(text);
    gWarningOwner = nullptr;
}
