// Key codes and names through the platform's keyboard services, and the DirectInput keyboard.
#include "keys/key_codes.h"
#include "keys/keyboard_win.h"
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

// The keyboard wakes its window: a key that goes down posts the signal message, no polling needed.
// A key that goes down and up before the reading shows only in DirectInput's buffered events: that
// reading has the key up, and gone down. The window has the focus, as the dialog does: Wine 10, like
// Windows, hands DirectInput no key while no window of the program has it.
TEST(DirectInputKeyboard, ATapSignalsTheWindowAndIsAKeyThatWentDown) {
    constexpr UINT Signalled = WM_APP + 7;
    HWND window = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr);
    SetForegroundWindow(window);
    SetFocus(window);
    ASSERT_TRUE(OpenKeyboard(window, Signalled));
    KeySample sample = {};
    ASSERT_TRUE(gKeyboardDevice.read(sample));
    const KeyCode q = 0x10;
    INPUT tap[2] = {};
    for (INPUT& input : tap) {
        input.type = INPUT_KEYBOARD;
        input.ki = {'Q', q, static_cast<DWORD>(&input == tap ? 0 : KEYEVENTF_KEYUP), 0, 0};
    }
    SendInput(2, tap, sizeof tap[0]);
    bool wentDown = false;
    MSG message;
    for (DWORD start = GetTickCount(); !wentDown && GetTickCount() - start < 5000;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (!wentDown && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message == Signalled && message.hwnd == window)
                wentDown = gKeyboardDevice.read(sample) && (sample.state[q] & KeyWentDown) != 0;
    }
    EXPECT_TRUE(wentDown) << "no signal, or no key in the reading after it";
    EXPECT_FALSE(IsKeyDown(sample.state[q]));
    CloseKeyboard();
    DestroyWindow(window);
}

} // namespace
