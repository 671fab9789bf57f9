// The real program in a fresh folder, worked with the X display's mouse and keyboard; only what a user
// sees is read: windows and their texts, the bindings file on disk and the exit code.
#include "resources/resource.h"
#include "tests/e2e_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <tuple>
#include <vector>

namespace {

class EndToEnd : public ::testing::Test {
  protected:
    ScratchFolder folder;
};

Bytes Standard() {
    return BuildImageFromRules(StandardLayout);
}

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

// The dialog manager turns Escape into Cancel and Enter into OK: Escape closes nothing, before or
// after a capture (a cabinet's Escape can be assigned), an Enter captured presses no button, and the
// click on Cancel that follows still closes.
TEST_F(EndToEnd, EscapeAndACapturedEnterCloseNothingAndOneClickOnCancelStillCloses) {
    Tool tool = StartOn(Standard());
    ASSERT_NE(tool.dialog, nullptr);
    PressKey(L"Escape", 50);
    PressKey(L"Escape", 0);
    Capture(tool, 3000, L"Return");
    PressKey(L"Escape");
    EXPECT_TRUE(ClickBoxAfterTyping(tool, IDC_LOW_RESOLUTION));
    EXPECT_TRUE(IsWindowVisible(tool.dialog));
    EXPECT_EQ(Text(tool.dialog, 2000), PlatformKeyName(0x001C0000));
    EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), Standard());
}

TEST_F(EndToEnd, ACaptureThatTimesOutLeavesOneAndTheKeyUnchanged) {
    Bytes file = Standard();
    file[StandardSlotByte(5)] = 0x2C;
    Tool tool = StartOn(file);
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, 3005);
    ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, 2005).size() == 2; }, ReactionLimitMs));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(tool.dialog, 3005)) != FALSE; }, 15000));
    EXPECT_EQ(Text(tool.dialog, 2005), L"1");
    EXPECT_EQ(ClickAndWaitForExit(tool, IDOK), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), file);
}

// The path warning is the dialog's own (Windows hands the activation back only to its owner), and
// the focus is in the path for the correction.
TEST_F(EndToEnd, APathTheSystemCannotStoreIsRefusedAndTheDialogStaysOpen) {
    Tool tool = StartOn(Standard());
    ASSERT_NE(tool.dialog, nullptr);
    SetText(tool.dialog, IDC_DRIVER_PATH, L"ab\u4E2Dcd");
    Click(tool.dialog, IDOK);
    HWND box = WaitForWindow(tool, L"Error!");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), tool.dialog);
    DismissWarning(tool, "The driver path has characters that this system cannot store.");
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(tool.dialog) == GetDlgItem(tool.dialog, IDC_DRIVER_PATH); },
                          ReactionLimitMs));
    EXPECT_EQ(ReadBytes(BindingsFileName), Standard());
    EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), Standard());
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

// Each key held for 80 ms, 300 ms apart.
std::wstring InTurn(const std::vector<TestKey>& keys) {
    std::wstring typing;
    for (const TestKey& key : keys)
        typing += L" keydown " + key.name + L" sleep 0.08 keyup " + key.name + L" sleep 0.3";
    return typing;
}

bool SequenceEnded(const Tool& tool) {
    return Text(tool.dialog, IDC_ASSIGN_ALL) == L"依序設定" &&
           IsWindowEnabled(GetDlgItem(tool.dialog, IDC_STANDARD_CAPTURE_FIRST));
}

Tool StartSequence() {
    Tool tool = StartOn(Standard());
    if (tool.dialog != nullptr) {
        Click(tool.dialog, IDC_ASSIGN_ALL);
        EXPECT_TRUE(WaitUntil([&] { return Text(tool.dialog, IDC_ASSIGN_ALL) == L"停止"; }, ReactionLimitMs));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(tool.dialog, IDC_MAHJONG_GAME)));
    }
    return tool;
}

// OK, then the file: the first inputs hold `keys` (code 0: none), the rest is the image.
void SaveAndExpectFirstInputs(Tool& tool, const std::vector<TestKey>& keys) {
    EXPECT_EQ(ClickAndWaitForExit(tool, IDOK), 0);
    Bytes expected = Standard();
    for (size_t slot = 0; slot < keys.size(); ++slot)
        expected[StandardSlotByte(slot)] = keys[slot].code;
    EXPECT_EQ(ReadBytes(BindingsFileName), expected);
}

// Waits for the last key's name and the next input's countdown, stops the sequence (a click is no
// key), and saves: the input whose step was stopped shows its key again.
void StopAndExpectFirstInputs(Tool& tool, const std::vector<TestKey>& keys) {
    int lastField = IDC_STANDARD_KEY_FIRST + static_cast<int>(keys.size()) - 1;
    EXPECT_TRUE(
        WaitUntil([&] { return Text(tool.dialog, lastField) == PlatformKeyName(keys.back().code << 16); },
                  ReactionLimitMs));
    ASSERT_TRUE(WaitUntil([&] { return Text(tool.dialog, lastField + 1).size() == 2; }, ReactionLimitMs))
        << "no countdown, but \""
        << std::string(Text(tool.dialog, lastField + 1).begin(), Text(tool.dialog, lastField + 1).end())
        << "\"";
    Click(tool.dialog, IDC_ASSIGN_ALL);
    ASSERT_TRUE(WaitUntil([&] { return SequenceEnded(tool); }, ReactionLimitMs));
    EXPECT_EQ(Text(tool.dialog, lastField + 1), PlatformKeyName(0x00020000));
    SaveAndExpectFirstInputs(tool, keys);
}

using AssignAll = EndToEnd;

TEST_F(AssignAll, TwentyEightKeysInTurnLandInSlotOrderThenSystemAndExit) {
    Tool tool = StartSequence();
    ASSERT_NE(tool.dialog, nullptr);
    std::vector<TestKey> keys = DistinctKeys(28);
    TypeOnDialog(InTurn(keys));
    ASSERT_TRUE(WaitUntil([&] { return SequenceEnded(tool); }, ReactionLimitMs));
    EXPECT_EQ(Text(tool.dialog, IDC_EXIT_KEY), PlatformKeyName(keys[27].code << 16));
    EXPECT_EQ(Text(tool.dialog, IDC_EXIT_CAPTURE), L"") << "no key is shared any more";
    EXPECT_EQ(ClickAndWaitForExit(tool, IDOK), 0);
    Bytes expected = Standard();
    for (size_t slot = 0; slot < StandardKeyCount; ++slot)
        expected[StandardSlotByte(slot)] = keys[slot].code;
    expected[TrailerPosition(StandardFileSize, SystemKeyPart) + KeyCodeInDevicePart] = keys[26].code;
    expected[TrailerPosition(StandardFileSize, ExitKeyPart) + KeyCodeInDevicePart] = keys[27].code;
    EXPECT_EQ(ReadBytes(BindingsFileName), expected);
}

// How a panel is played: keys in turn, buttons hit together, a roll of the hand, a button held all
// along (a hand resting on it, a stuck switch). Each key that goes down takes an input of its own,
// once; the inputs not reached keep their keys.
TEST_F(AssignAll, KeysInTurnTogetherRolledOrHeldEachLandOnTheirOwnInputOnce) {
    std::vector<TestKey> k = DistinctKeys(4);
    TestKey shift = {L"Shift_L", 0x2A};
    struct Playing {
        const char* what;
        std::wstring typing;
        std::vector<TestKey> taken;
    };
    const Playing playings[] = {
        {"five keys in turn", InTurn(DistinctKeys(5)), DistinctKeys(5)},
        {"a and b together, then c",
         L"keydown a keydown b sleep 0.08 keyup a keyup b sleep 0.3" + InTurn({k[2]}),
         {k[0], k[1], k[2]}},
        {"a roll",
         L"keydown a sleep 0.06 keydown b sleep 0.06 keyup a sleep 0.06 keydown c sleep 0.06 keyup b " +
             std::wstring(L"sleep 0.06 keydown d sleep 0.06 keyup c sleep 0.06 keyup d"),
         k},
        {"Shift held through a, b and c",
         L"keydown Shift_L sleep 0.3" + InTurn({k[0], k[1], k[2]}) + L" keyup Shift_L",
         {shift, k[0], k[1], k[2]}},
    };
    for (const Playing& playing : playings) {
        SCOPED_TRACE(playing.what);
        Tool tool = StartSequence();
        ASSERT_NE(tool.dialog, nullptr);
        TypeOnDialog(playing.typing);
        StopAndExpectFirstInputs(tool, playing.taken);
        EndLeftoverTools(); // a failed playing leaves its tool, which the next start would bring forward
    }
}

// An input the panel lacks: 跳過 leaves it with no key, and the next input takes the next key.
TEST_F(AssignAll, ASkippedInputHoldsNoKeyAndTheNextInputTakesTheNextKey) {
    Tool tool = StartSequence();
    ASSERT_NE(tool.dialog, nullptr);
    std::vector<TestKey> keys = DistinctKeys(2);
    auto countingDown = [&](int field) { return Text(tool.dialog, field).size() == 2; }; // 99 to 10
    TypeOnDialog(InTurn({keys[0]}));
    ASSERT_TRUE(WaitUntil([&] { return countingDown(2001); }, ReactionLimitMs));
    Click(tool.dialog, IDC_SKIP);
    ASSERT_TRUE(WaitUntil([&] { return countingDown(2002); }, ReactionLimitMs));
    EXPECT_EQ(Text(tool.dialog, 2001), L"");
    TypeOnDialog(InTurn({keys[1]}));
    StopAndExpectFirstInputs(tool, {keys[0], {L"", 0}, keys[1]});
}

TEST_F(AssignAll, ASequenceWhoseFirstInputRunsOutOfTimeEndsAndChangesNothing) {
    Tool tool = StartSequence();
    ASSERT_NE(tool.dialog, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return SequenceEnded(tool); }, 10000 + ReactionLimitMs));
    EXPECT_EQ(Text(tool.dialog, 2000), L"1");
    EXPECT_EQ(Text(tool.dialog, 2001), PlatformKeyName(0x00020000));
    SaveAndExpectFirstInputs(tool, {});
}

// A double start, or a start while the first copy is behind another program: the second copy brings
// the first forward and ends before it reads the file or touches the beep.
TEST_F(EndToEnd, ASecondStartInTheSameFolderBringsTheFirstForwardAndEnds) {
    Tool first = StartOn(Standard());
    ASSERT_NE(first.dialog, nullptr);
    HWND other = CreateWindowExW(0, L"Static", L"another program", WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0,
                                 300, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    Tool second = Start();
    EXPECT_EQ(WaitForExit(second, 10000), 0);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.dialog; }, 5000));
    DestroyWindow(other);
    EXPECT_EQ(ClickAndWaitForExit(first, IDCANCEL), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), Standard());
}

// Run as a child of the beep test: its exit code says whether the beep is on, as a process that
// has not read it before sees it (Wine keeps a process's first reading).
TEST(BeepReader, ExitsWithTheBeep) {
    if (std::getenv("ORVANE_READ_BEEP") == nullptr)
        GTEST_SKIP() << "run by the beep test";
    BOOL on = FALSE;
    SystemParametersInfoW(SPI_GETBEEP, 0, &on, 0);
    std::exit(on ? 0 : 1);
}

bool BeepIsOn() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    Tool reader;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine =
        L"\"" + std::wstring(self) + L"\" \"" + gToolPath + L"\" --gtest_filter=BeepReader.*";
    SetEnvironmentVariableW(L"ORVANE_READ_BEEP", L"1");
    EXPECT_TRUE(CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &reader.process));
    SetEnvironmentVariableW(L"ORVANE_READ_BEEP", nullptr);
    return WaitForExit(reader, 30000) == 0;
}

Tool StartIn(const char* folder) {
    std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::create_directory(folder);
    std::filesystem::current_path(folder);
    Tool tool = StartOn(Standard());
    std::filesystem::current_path(home);
    return tool;
}

// Copies for two folders: the beep is off while either is up, and the one that ends last, whether the
// other was closed or killed, gives the user's setting back.
TEST_F(EndToEnd, TwoCopiesLeaveTheBeepAsTheUserHadItWhateverOrderTheyEndIn) {
    SystemParametersInfoW(SPI_SETBEEP, TRUE, nullptr, SPIF_UPDATEINIFILE);
    const std::tuple<const char*, bool, bool> endings[] = {
        // what, the second copy ends first, the one that ends first is killed
        {"first ends first", false, false},
        {"second ends first", true, false},
        {"first is killed", false, true}};
    for (auto [ending, secondFirst, killed] : endings) {
        Tool first = StartIn("first"), second = StartIn("second");
        ASSERT_TRUE(first.dialog && second.dialog) << ending;
        EXPECT_FALSE(BeepIsOn()) << ending;
        Tool& earlier = secondFirst ? second : first;
        Tool& later = secondFirst ? first : second;
        if (killed)
            TerminateProcess(earlier.process.hProcess, 1);
        else
            PostMessageW(earlier.dialog, WM_CLOSE, 0, 0); // the other copy's window may lie over it
        EXPECT_EQ(WaitForExit(earlier), killed ? 1 : 0) << ending;
        EXPECT_FALSE(BeepIsOn()) << ending << ": the other copy is still up";
        EXPECT_EQ(ClickAndWaitForExit(later, IDCANCEL), 0) << ending;
        EXPECT_TRUE(BeepIsOn()) << ending;
    }
}

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
