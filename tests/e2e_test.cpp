// End-to-end tests of the real program: each starts orvane_config.exe in a fresh folder, works it
// with the mouse and the keyboard of the X display (xdotool), and reads only what a user would:
// windows and their texts, the bindings file on disk and the exit code.
#include "resources/resource.h"
#include "tests/e2e_support.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <vector>

namespace {

class EndToEnd : public ::testing::Test {
  protected:
    void SeedWith(const Bytes& file) { WriteBytes(BindingsFileName, file); }
    Bytes OnDisk() const { return ReadBytes(BindingsFileName); }
    ScratchFolder folder;
};

TEST_F(EndToEnd, WithoutABindingsFileItWarnsAndEndsWithoutADialog) {
    Tool tool = Start();
    HWND box = WaitForWindow(tool, L"Error!");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageOf(box), L"Could not open settings file.");
    EXPECT_EQ(FindWindowW(L"#32770", DialogCaption), nullptr);
    Click(box, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    EXPECT_TRUE(FolderContents(".").empty());
}

TEST_F(EndToEnd, OkOnAnUntouchedImageWritesItBackByteForByte) {
    for (LayoutKind layout : {StandardLayout, MahjongLayout}) {
        Bytes image = BuildImageFromRules(layout);
        SeedWith(image);
        Tool tool = StartWithDialog();
        ASSERT_NE(tool.dialog, nullptr);
        EXPECT_EQ(Text(tool.dialog, layout == MahjongLayout ? 2026 : 2000), PlatformKeyName(0x00020000));
        Click(tool.dialog, IDOK);
        EXPECT_EQ(WaitForExit(tool), 0);
        EXPECT_EQ(OnDisk(), image);
        EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
    }
}

TEST_F(EndToEnd, ACapturedUpArrowIsShownAndSaved) {
    SeedWith(BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, 3000);
    ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2000).size() == 2; }, 3000)) << "no countdown";
    PressKey(L"Up");
    std::wstring up = PlatformKeyName(0x01480000);
    EXPECT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2000) == up; }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(tool.dialog, 3000)) != FALSE; }, 3000));
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    Bytes expected = BuildImageFromRules(StandardLayout);
    expected[37] = 0xC8;
    EXPECT_EQ(OnDisk(), expected);
}

TEST_F(EndToEnd, SystemAndExitKeyButtonsAssignTheirKeys) {
    SeedWith(BuildImageFromRules(MahjongLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Capture(tool, IDC_SYSTEM_CAPTURE, L"F5");
    Capture(tool, IDC_EXIT_CAPTURE, L"Home");
    EXPECT_EQ(Text(tool.dialog, IDC_SYSTEM_KEY), PlatformKeyName(0x003F0000));
    EXPECT_EQ(Text(tool.dialog, IDC_EXIT_KEY), PlatformKeyName(0x01470000));
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    Bytes expected = BuildImageFromRules(MahjongLayout);
    expected[1420 - 320 + 17] = 0x3F;
    expected[1420 - 288 + 17] = 0xC7;
    EXPECT_EQ(OnDisk(), expected);
}

TEST_F(EndToEnd, SwitchingToMahjongThenOkWritesTheMahjongImageWithZeroKeys) {
    SeedWith(BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, IDC_MAHJONG_GAME);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(tool.dialog, 2026)) != FALSE; }, 3000));
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    Bytes saved = OnDisk();
    ASSERT_EQ(saved.size(), MahjongFileSize);
    Bytes expected = BuildImageFromRules(MahjongLayout);
    for (uint32_t offset : MahjongKeyOffsets)
        expected[offset + KeyCodeInDevicePart] = 0;
    EXPECT_EQ(saved, expected);
}

TEST_F(EndToEnd, CancelAndTheCloseCommandLeaveTheFileUntouched) {
    Bytes file = BuildImageFromRules(StandardLayout);
    file[37] = 0x1E;
    for (bool viaClose : {false, true}) {
        SeedWith(file);
        Tool tool = StartWithDialog();
        ASSERT_NE(tool.dialog, nullptr);
        Click(tool.dialog, IDC_LOW_RESOLUTION);
        if (viaClose)
            PostMessageW(tool.dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            Click(tool.dialog, IDCANCEL);
        EXPECT_EQ(WaitForExit(tool), 0);
        EXPECT_EQ(OnDisk(), file);
        EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
    }
}

TEST_F(EndToEnd, EscapeDoesNotCloseTheDialog) {
    SeedWith(BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    PressKey(L"Escape", 50);
    PressKey(L"Escape", 0);
    Sleep(500);
    EXPECT_TRUE(IsWindowVisible(tool.dialog));
    Click(tool.dialog, IDCANCEL);
    EXPECT_EQ(WaitForExit(tool), 0);
}

// An Escape pressed while no control has the focus is not a Cancel, and must not spoil the next one.
TEST_F(EndToEnd, OneClickOnCancelClosesTheToolAfterAnEscape) {
    SeedWith(BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Capture(tool, 3000, L"a");
    PressKey(L"Escape");
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(tool.dialog));
    Click(tool.dialog, IDCANCEL);
    EXPECT_EQ(WaitForExit(tool, 3000), 0);
    EXPECT_EQ(OnDisk(), BuildImageFromRules(StandardLayout));
}

TEST_F(EndToEnd, ACaptureThatTimesOutLeavesOneAndTheKeyUnchanged) {
    Bytes file = BuildImageFromRules(StandardLayout);
    file[380 + 17] = 0x2C;
    SeedWith(file);
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, 3005);
    ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2005).size() == 2; }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(tool.dialog, 3005)) != FALSE; }, 15000));
    EXPECT_EQ(Text(tool.dialog, 2005), L"1");
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool), 0);
    EXPECT_EQ(OnDisk(), file);
}

TEST_F(EndToEnd, APathTheSystemCannotStoreIsRefusedAndTheDialogStaysOpen) {
    Bytes file = BuildImageFromRules(StandardLayout);
    SeedWith(file);
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    SetText(tool.dialog, IDC_DRIVER_PATH, L"ab\u4E2Dcd");
    Click(tool.dialog, IDOK);
    DismissWarning(tool, "The driver path has characters that this system cannot store.");
    EXPECT_TRUE(
        WaitUntil([&] { return FocusOf(tool.dialog) == GetDlgItem(tool.dialog, IDC_DRIVER_PATH); }, 3000));
    EXPECT_TRUE(IsWindowVisible(tool.dialog));
    EXPECT_EQ(OnDisk(), file);
    Click(tool.dialog, IDCANCEL);
    EXPECT_EQ(WaitForExit(tool), 0);
    EXPECT_EQ(OnDisk(), file);
}

// Holds each key for 80 ms, 300 ms apart, with the dialog's window focused.
void PressInTurn(const std::vector<std::wstring>& keys) {
    std::wstring command = L"/usr/bin/xdotool search --name Orvane windowfocus --sync %1";
    for (const std::wstring& key : keys)
        command += L" keydown " + key + L" sleep 0.08 keyup " + key + L" sleep 0.3";
    RunUnix(command);
}

struct TestKey {
    std::wstring name; // as xdotool knows it
    uint8_t code;
};

// Letters, then digits from 3 on: 0x02, the "1" key, is what the image already holds.
std::vector<TestKey> DistinctKeys(size_t count) {
    std::vector<TestKey> keys;
    for (wchar_t c = L'a'; c <= L'z' && keys.size() < count; ++c)
        keys.push_back({std::wstring(1, c), static_cast<uint8_t>(MapVirtualKeyW(towupper(c), 0))});
    for (wchar_t c = L'3'; c <= L'9' && keys.size() < count; ++c)
        keys.push_back({std::wstring(1, c), static_cast<uint8_t>(MapVirtualKeyW(c, 0))});
    return keys;
}

bool SequenceEnded(const Tool& tool) {
    return Text(tool.dialog, IDC_ASSIGN_ALL) == L"依序設定" &&
           IsWindowEnabled(GetDlgItem(tool.dialog, IDC_STANDARD_CAPTURE_FIRST));
}

class AssignAll : public EndToEnd {
  public:
    void SetUp() override {
        image = BuildImageFromRules(StandardLayout);
        SeedWith(image);
        tool = StartWithDialog();
        ASSERT_NE(tool.dialog, nullptr);
        Click(tool.dialog, IDC_ASSIGN_ALL);
        ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, IDC_ASSIGN_ALL) == L"停止"; }, 3000));
        ASSERT_FALSE(IsWindowEnabled(GetDlgItem(tool.dialog, IDC_MAHJONG_GAME)));
    }
    void SaveAndExpect(const Bytes& expected) {
        Click(tool.dialog, IDOK);
        EXPECT_EQ(WaitForExit(tool), 0);
        EXPECT_EQ(OnDisk(), expected);
    }
    Bytes image;
    Tool tool;
};

TEST_F(AssignAll, TwentyEightKeysInTurnLandInSlotOrderThenSystemAndExit) {
    std::vector<TestKey> keys = DistinctKeys(28);
    std::vector<std::wstring> names;
    for (const TestKey& key : keys)
        names.push_back(key.name);
    PressInTurn(names);
    ASSERT_TRUE(WaitUntil([&] { return SequenceEnded(tool); }, 3000));
    EXPECT_EQ(Text(tool.dialog, IDC_EXIT_KEY), PlatformKeyName(keys[27].code << 16));
    EXPECT_EQ(Text(tool.dialog, IDC_EXIT_CAPTURE), L"") << "no key is shared any more";
    Bytes expected = image;
    for (size_t slot = 0; slot < StandardKeyCount; ++slot)
        expected[StandardSlotByte(slot)] = keys[slot].code;
    expected[TrailerPosition(StandardFileSize, SystemKeyPart) + KeyCodeInDevicePart] = keys[26].code;
    expected[TrailerPosition(StandardFileSize, ExitKeyPart) + KeyCodeInDevicePart] = keys[27].code;
    SaveAndExpect(expected);
}

TEST_F(AssignAll, AClickOnStopAfterFiveInputsKeepsTheRestAsTheyWere) {
    std::vector<TestKey> keys = DistinctKeys(5);
    PressInTurn({keys[0].name, keys[1].name, keys[2].name, keys[3].name, keys[4].name});
    ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2005).size() == 2; }, 3000)) << "no countdown";
    Click(tool.dialog, IDC_ASSIGN_ALL); // a click is no key in a sequence
    ASSERT_TRUE(WaitUntil([&] { return SequenceEnded(tool); }, 3000));
    EXPECT_EQ(Text(tool.dialog, 2005), PlatformKeyName(0x00020000));
    Bytes expected = image;
    for (size_t slot = 0; slot < 5; ++slot)
        expected[StandardSlotByte(slot)] = keys[slot].code;
    SaveAndExpect(expected);
}

// Waits for the name of the key in the field, stops the sequence and saves: the first keys of the
// sequence hold `keys`, the rest of the file is the image.
void ExpectFirstInputs(AssignAll& test, const std::vector<TestKey>& keys) {
    int lastField = IDC_STANDARD_KEY_FIRST + static_cast<int>(keys.size()) - 1;
    EXPECT_TRUE(WaitUntil(
        [&] { return Text(test.tool.dialog, lastField) == PlatformKeyName(keys.back().code << 16); }, 3000));
    Click(test.tool.dialog, IDC_ASSIGN_ALL);
    ASSERT_TRUE(WaitUntil([&] { return SequenceEnded(test.tool); }, 3000));
    Bytes expected = test.image;
    for (size_t slot = 0; slot < keys.size(); ++slot)
        expected[StandardSlotByte(slot)] = keys[slot].code;
    test.SaveAndExpect(expected);
}

// Two buttons of a panel hit at once: each key takes an input of its own, and none is lost.
TEST_F(AssignAll, KeysGoingDownTogetherEachTakeAnInput) {
    std::vector<TestKey> keys = DistinctKeys(3);
    const std::wstring &a = keys[0].name, &b = keys[1].name, &c = keys[2].name;
    TypeOnDialog(L"keydown " + a + L" keydown " + b + L" sleep 0.08 keyup " + a + L" keyup " + b +
                 L" sleep 0.3 keydown " + c + L" sleep 0.08 keyup " + c);
    ExpectFirstInputs(*this, keys);
}

// A hand on a panel: each key goes down before the one before it is up.
TEST_F(AssignAll, KeysPressedInARollEachLandOnTheirOwnInput) {
    std::vector<TestKey> keys = DistinctKeys(4);
    std::wstring roll = L"keydown " + keys[0].name;
    for (size_t i = 1; i < keys.size(); ++i)
        roll += L" sleep 0.06 keydown " + keys[i].name + L" sleep 0.06 keyup " + keys[i - 1].name;
    TypeOnDialog(roll + L" sleep 0.06 keyup " + keys.back().name);
    ExpectFirstInputs(*this, keys);
}

// A hand resting on a button, a stuck switch or a key mapper: the first input takes the key as it
// goes down (either Shift is the generic Shift), and the inputs after it pass it over while it is held.
TEST_F(AssignAll, AKeyHeldThroughTheSequenceIsPassedOver) {
    std::vector<TestKey> keys = {{L"Shift_R", static_cast<uint8_t>(MapVirtualKeyW(VK_SHIFT, 0))}};
    for (const TestKey& key : DistinctKeys(3))
        keys.push_back(key);
    std::wstring typing = L"keydown Shift_R sleep 0.3";
    for (size_t i = 1; i < keys.size(); ++i)
        typing += L" keydown " + keys[i].name + L" sleep 0.08 keyup " + keys[i].name + L" sleep 0.3";
    TypeOnDialog(typing + L" keyup Shift_R");
    ExpectFirstInputs(*this, keys);
}

// An input the panel lacks: 跳過 leaves it with no key, and the next input takes the next key.
TEST_F(AssignAll, ASkippedInputHoldsNoKeyAndTheNextInputTakesTheNextKey) {
    std::vector<TestKey> keys = DistinctKeys(2);
    auto countingDown = [&](int field) { return Text(tool.dialog, field).size() == 2; }; // 99 to 10
    PressInTurn({keys[0].name});
    ASSERT_TRUE(WaitUntil([&] { return countingDown(2001); }, 3000));
    Click(tool.dialog, IDC_SKIP);
    ASSERT_TRUE(WaitUntil([&] { return countingDown(2002); }, 3000));
    EXPECT_EQ(Text(tool.dialog, 2001), L"");
    PressInTurn({keys[1].name});
    ExpectFirstInputs(*this, {keys[0], {L"", 0}, keys[1]});
}

TEST_F(AssignAll, ASequenceWhoseFirstInputRunsOutOfTimeEndsAndChangesNothing) {
    ASSERT_TRUE(WaitUntil([&] { return SequenceEnded(tool); }, 13000));
    EXPECT_EQ(Text(tool.dialog, 2000), L"1");
    EXPECT_EQ(Text(tool.dialog, 2001), PlatformKeyName(0x00020000));
    SaveAndExpect(image);
}

// A double start, or a start while the first copy is behind another program: the second copy brings
// the first forward and ends before it reads the file or touches the beep.
TEST_F(EndToEnd, ASecondStartInTheSameFolderBringsTheFirstForwardAndEnds) {
    Bytes image = BuildImageFromRules(StandardLayout);
    SeedWith(image);
    Tool first = StartWithDialog();
    ASSERT_NE(first.dialog, nullptr);
    HWND other = CreateWindowExW(0, L"Static", L"another program", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0,
                                 300, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    Tool second = Start();
    EXPECT_EQ(WaitForExit(second, 2000), 0);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.dialog; }, 1000));
    DestroyWindow(other);
    Click(first.dialog, IDCANCEL);
    EXPECT_EQ(WaitForExit(first), 0);
    EXPECT_EQ(OnDisk(), image);
}

TEST_F(EndToEnd, OkDuringARunningCaptureSavesAndExitsAtOnce) {
    SeedWith(BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, 3000);
    Click(tool.dialog, 3001);
    ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2001).size() == 2; }, 3000));
    DWORD start = GetTickCount();
    Click(tool.dialog, IDOK);
    EXPECT_EQ(WaitForExit(tool, 5000), 0);
    EXPECT_LT(GetTickCount() - start, 3000u) << "the exit waited for the captures";
    // The click on OK is itself a mouse press, which a running capture may take (as code 0) before
    // the save; whichever it is, nothing else in the file changes.
    Bytes expected = BuildImageFromRules(StandardLayout);
    Bytes saved = OnDisk();
    ASSERT_EQ(saved.size(), expected.size());
    for (size_t slot : {0u, 1u}) {
        uint32_t at = StandardKeyOffsets[slot] + KeyCodeInDevicePart;
        EXPECT_TRUE(saved[at] == expected[at] || saved[at] == 0) << "slot " << slot;
        saved[at] = expected[at];
    }
    EXPECT_EQ(saved, expected);
}

// Run with Wine's code page 950 (LC_ALL=zh_TW.UTF-8), which the started program inherits.
class Big5EndToEnd : public EndToEnd {
  protected:
    void SetUp() override { ASSERT_EQ(GetACP(), 950u) << "run with LC_ALL=zh_TW.UTF-8"; }
};

TEST_F(Big5EndToEnd, AChinesePathIsSavedInBig5AndShownAgainOnTheNextStart) {
    SeedWith(BuildImageFromRules(StandardLayout));
    const std::wstring path = L"D:\\\u904A\u6232\\\u9A45\u52D5"; // D:\遊戲\驅動
    Bytes expected = BuildImageFromRules(StandardLayout);
    std::memcpy(&expected[1372 - 260], "D:\\\xB9\x43\xC0\xB8\\\xC5\x58\xB0\xCA", 12);
    for (bool reopened : {false, true}) {
        Tool tool = StartWithDialog();
        ASSERT_NE(tool.dialog, nullptr);
        if (reopened)
            EXPECT_EQ(Text(tool.dialog, IDC_DRIVER_PATH), path);
        else
            SetText(tool.dialog, IDC_DRIVER_PATH, path);
        Click(tool.dialog, IDOK);
        EXPECT_EQ(WaitForExit(tool), 0);
        EXPECT_EQ(OnDisk(), expected);
    }
}

} // namespace

namespace {

struct LeftoverToolsEnder : ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { EndLeftoverTools(); }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftoverToolsEnder);
    if (argc < 2) {
        fprintf(stderr, "usage: e2e_tests PATH_OF_orvane_config.exe\n");
        return 2;
    }
    gToolPath = ToWindowsPath(argv[1]);
    return RUN_ALL_TESTS();
}
