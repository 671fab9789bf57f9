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

// A stored code is named as the platform names the key whose message carries it: the name a field
// shows at start-up is the name of the key that was pressed.
TEST(KeyNames, AStoredCodeHasThePlatformsNameOfItsKey) {
    const std::tuple<const char*, KeyCode, LONG> keys[] = {
        {"Up", 0xC8, 0x01480000},           {"right Ctrl", 0x9D, 0x011D0000}, {"pad Enter", 0x9C, 0x011C0000},
        {"Num Lock", 0x45, 0x01450000},     {"Pause", 0xC5, 0x00450000},      {"pad 8", 0x48, 0x00480000},
        {"left Windows", 0xDB, 0x015B0000},
    };
    for (auto [key, code, nameParameter] : keys) {
        EXPECT_FALSE(NameFromCode(code).empty()) << key;
        EXPECT_EQ(NameFromCode(code), PlatformKeyName(nameParameter)) << key;
    }
    EXPECT_EQ(NameFromCode(0x02), L"1");
}

TEST(KeyNames, NameBufferIsAlwaysTerminated) {
    wchar_t name[3] = {L'x', L'x', L'x'};
    KeyNameFromCode(0xC8, name, 3);
    EXPECT_TRUE(name[0] == 0 || name[1] == 0 || name[2] == 0);
}

} // namespace
