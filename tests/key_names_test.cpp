// Key codes and names through the platform's keyboard services.
#include "keys/key_codes.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::wstring NameFromCode(KeyCode code) {
    wchar_t name[255] = {L'?'};
    KeyNameFromCode(code, name, 255);
    return name;
}

std::wstring PlatformName(LONG lParam) {
    wchar_t name[512] = {};
    GetKeyNameTextW(lParam, name, 512);
    return name;
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

struct NamedKey {
    const char* key;
    unsigned virtualKey;
    KeyCode code;
    LONG nameParameter; // what Windows' own lookup takes for this key's name
};

// The loader's key numbers for each key, and the platform's name of the key the user pressed.
const NamedKey NamedKeys[] = {
    {"Up", VK_UP, 0xC8, 0x01480000},         {"Home", VK_HOME, 0xC7, 0x01470000},
    {"Divide", VK_DIVIDE, 0xB5, 0x01350000}, {"Num Lock", VK_NUMLOCK, 0x45, 0x01450000},
    {"Ctrl", VK_CONTROL, 0x1D, 0x001D0000},  {"1", '1', 0x02, 0x00020000},
};

TEST(KeyNames, CapturedKeysGetTheLoadersNumbersAndTheirOwnNames) {
    for (const NamedKey& key : NamedKeys) {
        CapturedKey captured = KeyCodeFromVirtualKey(key.virtualKey);
        EXPECT_EQ(captured.code, key.code) << key.key;
        EXPECT_EQ(KeyNameParameter(captured.scanValue), key.nameParameter) << key.key;
        std::wstring name = NameFromCode(captured.code);
        EXPECT_FALSE(name.empty()) << key.key;
        EXPECT_EQ(name, PlatformName(key.nameParameter)) << key.key;
        printf("  %-8s vk %3u -> code 0x%02X, name \"%s\"\n", key.key, key.virtualKey, captured.code,
               Narrow(name).c_str());
    }
}

// Pause has no scan code of its own on every keyboard driver: whatever the platform maps it to,
// it is stored as the loader's Pause when it maps to 0x45, and named as Pause either way.
TEST(KeyNames, PauseIsStoredAsTheLoadersPause) {
    CapturedKey pause = KeyCodeFromVirtualKey(VK_PAUSE);
    UINT scan = MapVirtualKeyW(VK_PAUSE, MAPVK_VK_TO_VSC);
    if (scan == 0x45) {
        EXPECT_EQ(pause.code, 0xC5);
    }
    EXPECT_EQ(NameFromCode(pause.code), PlatformName(KeyNameParameter(pause.scanValue)));
    printf("  Pause    vk %3u -> code 0x%02X, name \"%s\"\n", unsigned(VK_PAUSE), pause.code,
           Narrow(NameFromCode(pause.code)).c_str());
}

TEST(KeyNames, AMouseButtonHasNoKeyCodeAndTheOneKeyIsTheImagesDefault) {
    EXPECT_EQ(KeyCodeFromVirtualKey(VK_LBUTTON).code, 0);
    EXPECT_EQ(KeyCodeFromVirtualKey(VK_RBUTTON).code, 0);
    EXPECT_EQ(NameFromCode(0x02), PlatformName(0x00020000));
    EXPECT_EQ(NameFromCode(0x02), L"1");
}

TEST(KeyNames, NameBufferIsAlwaysTerminated) {
    wchar_t name[3] = {L'x', L'x', L'x'};
    KeyNameFromCode(0xC8, name, 3);
    EXPECT_TRUE(name[0] == 0 || name[1] == 0 || name[2] == 0);
}

} // namespace
