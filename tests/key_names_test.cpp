// Key codes and names through the platform's keyboard services.
#include "keys/key_codes.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::wstring NameFromCode(KeyCode code) {
    wchar_t name[255] = {L'?'};
    KeyNameFromCode(code, name, 255);
    return name;
}

// The loader's key number of each key, and the platform's name of the key the user pressed. Pause
// has no scan code of its own on every keyboard driver: it is stored as the loader's Pause where it
// maps to 0x45 (as here), and named as Pause either way. A mouse button has no code.
TEST(KeyNames, CapturedKeysGetTheLoadersNumbersAndTheirOwnNames) {
    const std::tuple<const char*, unsigned, KeyCode, LONG> keys[] = {
        {"Up", VK_UP, 0xC8, 0x01480000},          {"Home", VK_HOME, 0xC7, 0x01470000},
        {"Divide", VK_DIVIDE, 0xB5, 0x01350000},  {"Num Lock", VK_NUMLOCK, 0x45, 0x01450000},
        {"Ctrl", VK_CONTROL, 0x1D, 0x001D0000},   {"1", '1', 0x02, 0x00020000},
        {"Pause", VK_PAUSE, 0xC5, 0x00450000},    {"left mouse button", VK_LBUTTON, 0, 0},
        {"right mouse button", VK_RBUTTON, 0, 0},
    };
    ASSERT_EQ(MapVirtualKeyW(VK_PAUSE, MAPVK_VK_TO_VSC), 0x45u);
    for (auto [key, virtualKey, code, nameParameter] : keys) {
        CapturedKey captured = KeyCodeFromVirtualKey(virtualKey);
        EXPECT_EQ(captured.code, code) << key;
        if (code != 0) {
            EXPECT_EQ(KeyNameParameter(captured.scanValue), nameParameter) << key;
            EXPECT_FALSE(NameFromCode(code).empty()) << key;
            EXPECT_EQ(NameFromCode(code), PlatformKeyName(nameParameter)) << key;
        }
    }
    EXPECT_EQ(NameFromCode(0x02), L"1");
}

TEST(KeyNames, NameBufferIsAlwaysTerminated) {
    wchar_t name[3] = {L'x', L'x', L'x'};
    KeyNameFromCode(0xC8, name, 3);
    EXPECT_TRUE(name[0] == 0 || name[1] == 0 || name[2] == 0);
}

} // namespace
