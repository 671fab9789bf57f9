// Key-code arithmetic (which code a key message names, which name a code asks for), which key a
// capture takes from scripted readings, which inputs a held key lights, which key messages the dialog
// leaves alone, and which inputs share a key.
#include "keys/held_keys.h"
#include "keys/key_capture.h"
#include "keys/key_codes.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Key messages as the keyboard driver reports them (scan code in bits 16-23, bit 24 for an E0 key,
// bits 30-31 on a release), and the number the loader's DirectInput reads for each key.
TEST(KeyCodes, AKeyMessageNamesTheKeyByTheLoadersNumberWhichNamesTheKeyAgain) {
    const std::tuple<const char*, uint32_t, KeyCode> keys[] = {
        {"A", 0x001E0001, 0x1E},
        {"left Ctrl", 0x001D0001, 0x1D},
        {"right Ctrl", 0x011D0001, 0x9D},
        {"right Shift", 0x00360001, 0x36},
        {"right Alt", 0x01380001, 0xB8},
        {"pad Enter", 0x011C0001, 0x9C},
        {"left Windows", 0x015B0001, 0xDB},
        {"right Windows", 0x015C0001, 0xDC},
        {"Menu", 0x015D0001, 0xDD},
        {"Print Screen", 0x01370001, 0xB7},
        {"pad 8, with Num Lock on or off", 0x00480001, 0x48},
        {"Up", 0x01480001, 0xC8},
        {"pad divide", 0x01350001, 0xB5},
        {"Num Lock", 0x01450001, 0x45},
        {"Pause", 0x00450001, 0xC5},
        {"Pause released", 0xC0450001, 0xC5},
        {"a key without a scan code", 0x00000001, 0x00},
    };
    for (auto [key, lParam, code] : keys) {
        EXPECT_EQ(KeyCodeOfKeyMessage(lParam), code) << key;
        if (code != 0) {
            EXPECT_EQ(KeyNameParameter(NameScanFromCode(code)), static_cast<long>(lParam & 0x01FF0000))
                << key;
        }
    }
}

const std::pair<const char*, KeyCode> Keys[] = {
    {"A", 0x1E},     {"B", 0x30},    {"Q", 0x10},     {"T", 0x14},  {"LCtrl", 0x1D},
    {"RCtrl", 0x9D}, {"RAlt", 0xB8}, {"Enter", 0x1C}, {"Up", 0xC8}, {"FakeShift", 0xAA}};

// "A B*": A down, B went down and up again since the reading before. A key down that was up in the
// reading before went down, in the order written.
KeySample SampleOf(const std::string& keys, const KeySample& before = {}) {
    KeySample sample = {};
    std::istringstream words(keys);
    for (std::string word; words >> word;) {
        bool tapped = word.back() == '*';
        for (auto [name, code] : Keys) {
            if (word.substr(0, word.size() - (tapped ? 1 : 0)) != name)
                continue;
            if (tapped || !IsKeyDown(before.state[code]))
                MarkWentDown(sample, code);
            if (!tapped)
                sample.state[code] |= KeyIsDown;
        }
    }
    return sample;
}

std::string NameOf(int code) {
    for (auto [name, keyCode] : Keys)
        if (keyCode == code)
            return name;
    return "?";
}

// A keyboard that gives the script's readings in turn; one that fails leaves nothing in the sample,
// as the device does.
std::vector<KeySample> gScript;
std::vector<bool> gFails;
size_t gRead = 0;

bool ScriptedRead(KeySample& sample) {
    size_t reading = gRead++;
    sample = gFails[reading] ? KeySample{} : gScript[reading];
    return !gFails[reading];
}

// What the captures did, a word for each input's end: the key it took, "skipped" or "stopped", and
// nothing when its time ran out; "!" after the word of an input whose turn it was not.
std::string WordsOf(const CaptureEvents& events) {
    std::string words;
    CaptureInput turn = 1;
    for (const CaptureEvent& event : events) {
        if (event.kind == CaptureCountdown || event.kind == SequenceEnded)
            continue;
        std::string word = event.kind == CaptureKeyTaken  ? NameOf(event.value)
                           : event.kind == CaptureSkipped ? "skipped"
                           : event.kind == CaptureStopped ? "stopped"
                                                          : "";
        word += event.input == turn++ ? "" : "!";
        if (!word.empty())
            words += (words.empty() ? "" : " ") + word;
    }
    return words;
}

// The readings a capture is handed after it starts, the first of them its snapshot: a single
// capture of input 1, or a sequence over inputs 1 to 28, with a click on 停止 or 跳過, or a mouse
// press anywhere, before the reading `stopAt`, `skipAt` or `clickAt`; then the clock runs until every
// capture has ended, or for a minute at most.
struct ChangeCase {
    const char* what;
    std::vector<const char*> readings;
    const char* single;
    const char* sequence;
    size_t stopAt = SIZE_MAX;
    size_t skipAt = SIZE_MAX;
    size_t clickAt = SIZE_MAX;
};

std::string Takes(const ChangeCase& c, bool sequence) {
    gKeyboardDevice.read = ScriptedRead;
    gScript.clear();
    gFails.clear();
    KeySample before = {};
    for (const char* reading : c.readings) {
        gFails.push_back(std::string(reading) == "fails");
        gScript.push_back(gFails.back() ? KeySample{} : before = SampleOf(reading, before));
    }
    gRead = 0;
    std::vector<CaptureInput> inputs(28);
    std::iota(inputs.begin(), inputs.end(), 1);
    uint32_t clock = 0xFFFFFF00u; // close to wrapping around, as GetTickCount is after 49.7 days
    CaptureEvents events;
    sequence ? StartSequence(inputs, clock, NoKey, events) : StartSingleCapture(1, clock, NoKey, events);
    KeySample reading;
    for (size_t i = 0; i < gScript.size(); ++i, clock += 10) {
        if (i == c.stopAt)
            StopSequence(events);
        if (i == c.skipAt)
            SkipSequenceStep(clock, events);
        if (i == c.clickAt)
            StopSingleCapture(events);
        ReadKeyboardIntoCaptures(clock, reading, events);
    }
    for (int tick = 0; AnyCaptureRuns() && tick < 600; ++tick, clock += 100)
        TickCaptures(clock, events);
    return WordsOf(events);
}

TEST(ChangedKey, ASingleCaptureTakesAnyChangeAndASequenceEveryKeyGoingDownOnce) {
    const ChangeCase cases[] = {
        {"a press after the snapshot", {"", "", "A"}, "A", "A"},
        {"a release", {"Q", ""}, "Q", ""},
        {"a key held throughout, until the time runs out", {"Q", "Q", "Q"}, "", ""},
        {"a held key released, then pressed again", {"Q", "", "Q"}, "Q", "Q"},
        {"a roll: the key before still down as the next goes down", {"A", "A B"}, "B", "B"},
        {"a roll from the first key", {"", "A", "A B", "B", ""}, "A", "A B"},
        {"AltGr: left Ctrl with right Alt gives right Alt, once", {"", "LCtrl RAlt"}, "RAlt", "RAlt"},
        {"right Ctrl with right Alt: two keys", {"", "RCtrl RAlt"}, "RCtrl", "RCtrl RAlt"},
        {"left Ctrl held, then right Ctrl", {"LCtrl", "LCtrl RCtrl"}, "RCtrl", "RCtrl"},
        {"a tap between two readings", {"", "T*"}, "T", "T"},
        {"gray Up with the shift its keyboard fakes for it", {"", "FakeShift", "FakeShift Up"}, "Up", "Up"},
        {"a mouse press, then a key", {"", "", "A"}, "stopped", "A", SIZE_MAX, SIZE_MAX, 2},
        {"two keys down in one reading, then a third", {"", "A B", "A B T"}, "A", "A B T"},
        {"two keys down in one reading, in the order they went down", {"", "Q A"}, "Q", "Q A"},
        {"the same two keys, gone down the other way round", {"", "A Q"}, "A", "A Q"},
        {"two taps in one reading", {"", "A* B*"}, "A", "A B"},
        {"a key in the reading after a click on 停止", {"", "", "A"}, "A", "stopped", 2},
        {"a key in the reading after a click on 跳過, then the next key",
         {"", "A", "", "B"},
         "A",
         "skipped B",
         SIZE_MAX,
         1},
        {"a first reading that fails while a key is held", {"fails", "Q", "Q"}, "", ""},
        {"a reading that fails while a key is held", {"Q", "fails", "Q"}, "", ""},
    };
    for (const ChangeCase& c : cases) {
        EXPECT_EQ(Takes(c, false), c.single) << "single capture: " << c.what;
        EXPECT_EQ(Takes(c, true), c.sequence) << "sequence: " << c.what;
    }
}

// The live key test lights the inputs of the keys held, and the dialog leaves the key messages of
// the panel to it: right Ctrl and left Ctrl, pad Enter and Enter are two keys each.
TEST(PanelKeys, HeldKeysLightTheirOwnInputsAndPanelKeysAreKeptFromTheDialog) {
    const std::vector<KeyCode> inputs = {0x1D, 0x9D, 0x1C, 0x9C, 0xB8, 0x1E, NoKey};
    const std::pair<const char*, std::vector<bool>> held[] = {
        {"RCtrl", {false, true, false, false, false, false, false}},
        {"Enter", {false, false, true, false, false, false, false}},
        {"LCtrl RAlt", {false, false, false, false, true, false, false}},
        {"A", {false, false, false, false, false, true, false}},
    };
    for (const auto& [keys, lit] : held)
        EXPECT_EQ(HeldInputs(inputs, SampleOf(keys)), lit) << keys;

    const std::vector<KeyCode> leftCtrlAndSpace = {0x1D, 0x39};
    const std::tuple<const char*, DialogKeyMessage, bool> messages[] = {
        // what, {press or release, lParam, capture runs, driver path typed}, kept from the dialog
        {"left Ctrl, an input's key", {true, 0x001D0001, false, false}, true},
        {"Space released", {true, 0xC0390001, false, false}, true},
        {"right Ctrl, no input's key", {true, 0x011D0001, false, false}, false},
        {"Space's character", {false, 0x00390001, false, false}, false},
        {"Space typed into the driver path", {true, 0x00390001, false, true}, false},
        {"Tab while a capture runs", {true, 0x000F0001, true, false}, true},
        {"a character while a capture runs", {false, 0x00390001, true, false}, true},
    };
    for (const auto& [what, message, kept] : messages)
        EXPECT_EQ(KeepFromDialog(message, leftCtrlAndSpace), kept) << what;
}

TEST(KeyClashes, InputsSharingANonZeroCodeAreMarkedOnBothSides) {
    const std::pair<std::vector<KeyCode>, std::vector<bool>> cases[] = {
        {std::vector<KeyCode>(28, 0x02), std::vector<bool>(28, true)}, // the loader's defaults
        {{0x1D, 0x9D, 0x1C, 0x9C}, {false, false, false, false}},      // left and right, Enter and pad Enter
        {{0x1E, 0x30, 0x2E, 0xC8}, {false, false, false, false}},
        {{0x1E, 0x30, 0x1E}, {true, false, true}},
        {{0, 0x30, 0}, {false, false, false}},
        {{0x1E, 0x02, 0x30, 0x02}, {false, true, false, true}}, // the exit key on a player's start
    };
    for (const auto& [codes, marked] : cases)
        EXPECT_EQ(ClashingInputs(codes), marked);
}

} // namespace
