// Key-code arithmetic (what a virtual key and its scan code become, which name a code asks for),
// which change a capture takes, and which inputs share a key.
#include "keys/changed_key.h"
#include "keys/key_clashes.h"
#include "keys/key_codes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct KeyCase {
    const char* key;
    unsigned virtualKey, scanCode, scanValue;
    KeyCode code;
};

// Scan codes as a US keyboard maps them; the loader's key numbers as DirectInput defines them.
const KeyCase KeyCases[] = {
    {"Up", 38, 0x48, 0x148, 0xC8},         {"Home", 36, 0x47, 0x147, 0xC7},
    {"Page Up", 33, 0x49, 0x149, 0xC9},    {"Page Down", 34, 0x51, 0x151, 0xD1},
    {"End", 35, 0x4F, 0x14F, 0xCF},        {"Left", 37, 0x4B, 0x14B, 0xCB},
    {"Right", 39, 0x4D, 0x14D, 0xCD},      {"Down", 40, 0x50, 0x150, 0xD0},
    {"Insert", 45, 0x52, 0x152, 0xD2},     {"Delete", 46, 0x53, 0x153, 0xD3},
    {"Divide", 111, 0x35, 0x135, 0xB5},    {"Num Lock", 144, 0x45, 0x145, 0x45},
    {"Pause", 19, 0x45, 0x045, 0xC5},      {"Ctrl", 17, 0x1D, 0x01D, 0x1D},
    {"Shift", 16, 0x2A, 0x02A, 0x2A},      {"Right Ctrl", 163, 0x1D, 0x01D, 0x1D},
    {"Right Alt", 165, 0x38, 0x038, 0x38}, {"Enter", 13, 0x1C, 0x01C, 0x1C},
    {"1", 0x31, 0x02, 0x002, 0x02},        {"Left mouse button", 1, 0x00, 0x000, 0x00},
    {"Escape", 27, 0x01, 0x001, 0x01},
};

// What the dialog shows at start-up, from the stored code, must be what it showed right after the
// capture; only the low byte of a scan code is stored.
TEST(KeyCodes, VirtualKeysBecomeTheLoadersKeyNumbersWhichNameTheKeyAgain) {
    for (const KeyCase& c : KeyCases) {
        CapturedKey captured = CapturedKeyFromScan(c.virtualKey, c.scanCode);
        EXPECT_EQ(captured.code, c.code) << c.key;
        EXPECT_EQ(captured.scanValue, c.scanValue) << c.key;
        if (c.code != 0) {
            EXPECT_EQ(NameScanFromCode(c.code), c.scanValue) << c.key;
        }
    }
    EXPECT_EQ(CapturedKeyFromScan(38, 0xE048).code, 0xC8);
}

// The keys of the cases, with the codes of a US layout; every other key has none.
struct UsKey {
    const char* name;
    int virtualKey;
    unsigned scanCode;
};
const UsKey UsKeys[] = {{"A", 'A', 0x1E},       {"B", 'B', 0x30},      {"Q", 'Q', 0x10},
                        {"T", 'T', 0x14},       {"Shift", 0x10, 0x2A}, {"LShift", 0xA0, 0x2A},
                        {"RShift", 0xA1, 0x36}, {"Ctrl", 0x11, 0x1D},  {"LCtrl", 0xA2, 0x1D},
                        {"RCtrl", 0xA3, 0x1D},  {"Alt", 0x12, 0x38},   {"LAlt", 0xA4, 0x38},
                        {"RAlt", 0xA5, 0x38},   {"Mouse", 1, 0}};

// "A B*": A down, B tapped since the last query.
KeySample SampleOf(const std::string& keys) {
    KeySample sample = {};
    std::istringstream words(keys);
    for (std::string word; words >> word;) {
        bool tapped = word.back() == '*';
        for (const UsKey& key : UsKeys)
            if (word.substr(0, word.size() - (tapped ? 1 : 0)) == key.name)
                sample.state[key.virtualKey] = tapped ? 1 : static_cast<int16_t>(0x8000);
    }
    return sample;
}

std::string NameOf(int virtualKey) {
    for (const UsKey& key : UsKeys)
        if (key.virtualKey == virtualKey)
            return key.name;
    return virtualKey == -1 ? "" : "?";
}

// The keys taken from the samples after the snapshot: by a single capture (the first only), and by
// the steps of a sequence, each starting from what the step before carried.
struct ChangeCase {
    const char* what;
    const char* atSnapshot;
    std::vector<const char*> samples;
    const char* single;
    const char* sequence;
};

std::string SingleCaptureTakes(const ChangeCase& c, const LayoutKeyCodes& codes) {
    KeySnapshot snapshot = SnapshotOf(SampleOf(c.atSnapshot));
    for (const char* sample : c.samples)
        if (int vk = ChangedKey(snapshot, SampleOf(sample), SingleCaptureRules, codes); vk != -1)
            return NameOf(vk);
    return "";
}

std::string SequenceTakes(const ChangeCase& c, const LayoutKeyCodes& codes) {
    StepCarry step = {SnapshotOf(SampleOf(c.atSnapshot)), {}};
    std::string taken;
    bool carried = false;
    for (size_t next = 0; carried || next < c.samples.size();) {
        KeySample sample = carried ? step.sample : SampleOf(c.samples[next++]);
        int vk = ChangedKey(step.snapshot, sample, SequenceStepRules, codes);
        carried = vk != -1;
        if (carried) {
            taken += (taken.empty() ? "" : " ") + NameOf(vk);
            step = CarryToNextStep(step.snapshot, sample, vk);
        }
    }
    return taken;
}

TEST(ChangedKey, ASingleCaptureTakesAnyChangeAndASequenceEveryKeyGoingDownOnce) {
    const ChangeCase cases[] = {
        {"a press after the snapshot", "", {"", "A"}, "A", "A"},
        {"a release", "Q", {""}, "Q", ""},
        {"a key held throughout", "Q", {"Q", "Q"}, "", ""},
        {"a held key released, then pressed again", "Q", {"", "Q"}, "Q", "Q"},
        {"a roll: the key before still down as the next goes down", "A", {"A B"}, "B", "B"},
        {"left Ctrl with right Alt gives Alt, once", "", {"Ctrl LCtrl Alt RAlt"}, "Alt", "Alt"},
        {"Shift with A: the lower virtual key, or the lower code",
         "",
         {"Shift LShift A"},
         "Shift",
         "A Shift"},
        {"a tap between two samples", "", {"T*"}, "T", "T"},
        {"a mouse click", "", {"Mouse"}, "Mouse", ""},
        {"two keys down in one sample, then a third", "", {"A B", "A B T"}, "A", "A B T"},
        {"two keys down in one sample, lower code first", "", {"A Q"}, "A", "Q A"},
        {"two taps in one sample", "", {"A* B*"}, "A", "A B"},
        {"left Ctrl pressed after the generic Ctrl was read", "", {"LCtrl", "Ctrl LCtrl"}, "LCtrl", "LCtrl"},
        {"left Shift pressed after the generic Shift was read",
         "",
         {"LShift", "Shift LShift"},
         "LShift",
         "LShift"},
    };
    LayoutKeyCodes codes = {};
    for (const UsKey& key : UsKeys)
        codes.keys[key.virtualKey] = CapturedKeyFromScan(key.virtualKey, key.scanCode);
    for (const ChangeCase& c : cases) {
        EXPECT_EQ(SingleCaptureTakes(c, codes), c.single) << "single capture: " << c.what;
        EXPECT_EQ(SequenceTakes(c, codes), c.sequence) << "sequence: " << c.what;
    }
}

TEST(KeyClashes, InputsSharingANonZeroCodeAreMarkedOnBothSides) {
    const std::pair<std::vector<KeyCode>, std::vector<bool>> cases[] = {
        {std::vector<KeyCode>(28, 0x02), std::vector<bool>(28, true)}, // the loader's defaults
        {{0x1E, 0x30, 0x2E, 0xC8}, {false, false, false, false}},
        {{0x1E, 0x30, 0x1E}, {true, false, true}},
        {{0, 0x30, 0}, {false, false, false}},
        {{0x1E, 0x02, 0x30, 0x02}, {false, true, false, true}}, // the exit key on a player's start
    };
    for (const auto& [codes, marked] : cases)
        EXPECT_EQ(ClashingInputs(codes), marked);
}

} // namespace
