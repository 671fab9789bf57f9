// A capture's loop driven by a scripted keyboard and clock: taps between two readings, keys held
// from the step before, rolls, the time running out and a stopped sequence; and every reader of the
// keyboard seeing a tap that another one read from the device.
#include "keys/key_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Keys by letter, as DirectInput numbers them.
constexpr char Letters[] = "ABC";
constexpr KeyCode LetterCodes[] = {0x1E, 0x30, 0x2E};
constexpr KeyCode Untouched = 0x99;

// Each reading as letters: upper case a key down (gone down since the reading before if it was not
// down then), lower case a key that went down and up again in between. After the last one the
// keyboard stays as it was, with no more keys going down.
std::vector<KeySample> gReadings;
size_t gNextReading = 0;
size_t gStopBeforeReading = SIZE_MAX;
uint32_t gClock = 0;

KeySample SampleOf(const std::string& keys, const KeySample& before) {
    KeySample sample = {};
    for (char key : keys) {
        bool down = std::isupper(static_cast<unsigned char>(key)) != 0;
        KeyCode code = LetterCodes[std::string(Letters).find(static_cast<char>(std::toupper(key)))];
        bool wasDown = IsKeyDown(before.state[code]);
        sample.state[code] =
            static_cast<uint8_t>((down ? KeyIsDown : 0) | (down && wasDown ? 0 : KeyWentDown));
    }
    return sample;
}

void Script(const std::vector<std::string>& readings, size_t stopBeforeReading = SIZE_MAX) {
    gReadings.clear();
    KeySample before = {};
    for (const std::string& keys : readings)
        gReadings.push_back(before = SampleOf(keys, before));
    gNextReading = 0;
    gStopBeforeReading = stopBeforeReading;
}

bool ScriptedRead(KeySample& sample) {
    if (gNextReading == gStopBeforeReading)
        WriteShared(gRunningSequence, 0);
    if (gNextReading < gReadings.size()) {
        sample = gReadings[gNextReading++];
        return true;
    }
    sample = gReadings.empty() ? KeySample{} : gReadings.back();
    for (uint8_t& state : sample.state)
        state &= KeyIsDown;
    return true;
}

const CaptureCalls ScriptedCalls = {[] { return gClock; }, [] { gClock += 10; }, [](int) {}, true};

// Runs `steps` captures, as a single capture (one step) or a sequence, each step after one that took
// a key starting from its carry. Each step's outcome: its key's letter, "-" when the time ran out,
// "x" when it was stopped; and a "!" for a step whose input holds anything else than that.
std::string Play(int steps, bool sequence) {
    gKeyboardDevice.read = ScriptedRead;
    WriteShared(gRunningSequence, sequence ? 1 : 0);
    std::string outcomes;
    bool fromCarry = false;
    for (int step = 0; step < steps; ++step) {
        KeyCode input = Untouched;
        KeyboardReader reader = OpenKeyboardReader();
        int code =
            RunCapture({&input, static_cast<uint8_t>(sequence ? 1 : 0), fromCarry, reader}, ScriptedCalls);
        CloseKeyboardReader(reader);
        fromCarry = code >= 0;
        std::string letter =
            code >= 0 ? std::string(1, Letters[std::find(LetterCodes, LetterCodes + 3, code) - LetterCodes])
            : code == CaptureWasStopped ? "x"
                                        : "-";
        outcomes += letter + (input == (code >= 0 ? code : Untouched) ? "" : "!");
    }
    return outcomes;
}

TEST(CaptureLoop, TapsRollsHeldKeysTheEndOfTheTimeAndAStop) {
    const struct {
        const char* what;
        std::vector<std::string> readings;
        int steps;
        bool sequence;
        const char* outcomes;
        size_t stopBeforeReading = SIZE_MAX;
    } cases[] = {
        {"a tap between two readings", {"", "", "a"}, 1, false, "A"},
        {"a tap in a sequence", {"", "a", "", "b"}, 2, true, "AB"},
        {"a key held from the step before, then another", {"", "A", "A", "A", "AB"}, 2, true, "AB"},
        {"a key held all along", {"A", "A", "AB", "AB", "ABC"}, 2, true, "BC"},
        {"a roll of two keys", {"", "A", "AB", "B", ""}, 2, true, "AB"},
        {"two keys in one reading", {"", "AB"}, 2, true, "AB"},
        {"nothing until the time runs out", {""}, 1, false, "-"},
        {"a key held from the start of a single capture", {"A"}, 1, false, "-"},
        {"a sequence stopped mid-step", {"", "", "", "A"}, 1, true, "x", 2},
        {"a stop in the reading that finds the key", {"", "A"}, 1, true, "x", 1},
    };
    for (const auto& c : cases) {
        Script(c.readings, c.stopBeforeReading);
        EXPECT_EQ(Play(c.steps, c.sequence), c.outcomes) << c.what;
    }
}

// A tap that one reading takes from the device reaches every capture that runs, once, whichever
// reads the device first: capture 1, capture 2, and the key test (k), which reads no taps.
TEST(KeyboardReaders, EveryCaptureSeesATapOnceWhoeverReadTheDevice) {
    gKeyboardDevice.read = ScriptedRead;
    for (const char* order : {"12", "21", "k12", "1k2", "2k1"}) {
        Script({"a"});
        KeyboardReader captures[2] = {OpenKeyboardReader(), OpenKeyboardReader()};
        std::string seen;
        for (const char* reader = order; *reader; ++reader) {
            KeySample sample;
            ASSERT_TRUE(ReadKeyboard(*reader == 'k' ? NoReader : captures[*reader - '1'], sample));
            seen += (sample.state[LetterCodes[0]] & KeyWentDown) != 0 ? "a" : ".";
        }
        for (KeyboardReader capture : captures) {
            KeySample again;
            ReadKeyboard(capture, again);
            seen += (again.state[LetterCodes[0]] & KeyWentDown) != 0 ? "a" : ".";
            CloseKeyboardReader(capture);
        }
        std::string expected;
        for (const char* reader = order; *reader; ++reader)
            expected += *reader == 'k' ? "." : "a";
        EXPECT_EQ(seen, expected + "..") << order;
    }
}

} // namespace
