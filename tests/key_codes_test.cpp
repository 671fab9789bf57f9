// Key-code arithmetic: what a virtual key and its scan code become, and which name a code asks for.
#include "keys/changed_key.h"
#include "keys/key_clashes.h"
#include "keys/key_codes.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct KeyCase {
    const char* key;
    unsigned virtualKey;
    unsigned scanCode;
    unsigned scanValue;
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

TEST(KeyCodes, VirtualKeysBecomeTheLoadersKeyNumbers) {
    for (const KeyCase& c : KeyCases) {
        CapturedKey captured = CapturedKeyFromScan(c.virtualKey, c.scanCode);
        EXPECT_EQ(captured.code, c.code) << c.key;
        EXPECT_EQ(captured.scanValue, c.scanValue) << c.key;
    }
}

// What the dialog shows at start-up must be what it showed right after the capture.
TEST(KeyCodes, AStoredCodeNamesTheKeyThatWasCaptured) {
    for (const KeyCase& c : KeyCases) {
        if (c.code != 0) {
            EXPECT_EQ(NameScanFromCode(c.code), c.scanValue) << c.key;
        }
    }
}

TEST(KeyCodes, NameParameterPutsTheExtendedFlagInBit24) {
    EXPECT_EQ(KeyNameParameter(NameScanFromCode(0xC8)), 0x01480000L);
    EXPECT_EQ(KeyNameParameter(NameScanFromCode(0x02)), 0x00020000L);
    EXPECT_EQ(KeyNameParameter(NameScanFromCode(0x45)), 0x01450000L) << "Num Lock";
    EXPECT_EQ(KeyNameParameter(NameScanFromCode(0xC5)), 0x00450000L) << "Pause";
}

TEST(KeyCodes, OnlyTheLowByteOfAScanCodeIsStored) {
    EXPECT_EQ(CapturedKeyFromScan(65, 0x1E).code, 0x1E);
    EXPECT_EQ(CapturedKeyFromScan(38, 0xE048).code, 0xC8);
}

} // namespace

namespace {

constexpr int16_t Down = static_cast<int16_t>(0x8000);
constexpr int16_t TappedSinceLastQuery = 1;

using KeyStates = std::vector<std::pair<int, int16_t>>;

KeySample SampleOf(const KeyStates& keys) {
    KeySample sample = {};
    for (auto [vk, state] : keys)
        sample.state[vk] = state;
    return sample;
}

// The codes of a US layout for the keys of the cases; every other key has none.
LayoutKeyCodes UsCodes() {
    const std::pair<unsigned, unsigned> scans[] = {
        {'A', 0x1E},  {'B', 0x30},  {'Q', 0x10},  {'T', 0x14},  {0x10, 0x2A}, {0xA0, 0x2A}, {0xA1, 0x36},
        {0x11, 0x1D}, {0xA2, 0x1D}, {0xA3, 0x1D}, {0x12, 0x38}, {0xA4, 0x38}, {0xA5, 0x38}};
    LayoutKeyCodes codes = {};
    for (auto [vk, scan] : scans)
        codes.keys[vk] = CapturedKeyFromScan(vk, scan);
    return codes;
}

// The keys taken from the samples after the snapshot: by a single capture (the first only), and by
// the steps of a sequence, each starting from what the step before carried.
struct ChangeCase {
    const char* what;
    KeyStates atSnapshot;
    std::vector<KeyStates> samples;
    int single;
    std::vector<int> sequence;
};

int SingleCaptureTakes(const ChangeCase& c, const LayoutKeyCodes& codes) {
    KeySnapshot snapshot = SnapshotOf(SampleOf(c.atSnapshot));
    for (const KeyStates& sample : c.samples)
        if (int vk = ChangedKey(snapshot, SampleOf(sample), SingleCaptureRules, codes); vk != -1)
            return vk;
    return -1;
}

std::vector<int> SequenceTakes(const ChangeCase& c, const LayoutKeyCodes& codes) {
    StepCarry step = {SnapshotOf(SampleOf(c.atSnapshot)), {}};
    std::vector<int> taken;
    bool carried = false;
    for (size_t next = 0; carried || next < c.samples.size();) {
        KeySample sample = carried ? step.sample : SampleOf(c.samples[next++]);
        int vk = ChangedKey(step.snapshot, sample, SequenceStepRules, codes);
        carried = vk != -1;
        if (carried) {
            taken.push_back(vk);
            step = CarryToNextStep(step.snapshot, sample, vk);
        }
    }
    return taken;
}

TEST(ChangedKey, ASingleCaptureTakesAnyChangeAndASequenceEveryKeyGoingDownOnce) {
    const ChangeCase cases[] = {
        {"a press after the snapshot", {}, {{}, {{'A', Down}}}, 'A', {'A'}},
        {"a release", {{'Q', Down}}, {{}}, 'Q', {}},
        {"a key held throughout", {{'Q', Down}}, {{{'Q', Down}}, {{'Q', Down}}}, -1, {}},
        {"a held key released, then pressed again", {{'Q', Down}}, {{}, {{'Q', Down}}}, 'Q', {'Q'}},
        {"a roll: the key before still down as the next goes down",
         {{'A', Down}},
         {{{'A', Down}, {'B', Down}}},
         'B',
         {'B'}},
        {"left Ctrl with right Alt gives Alt, once",
         {},
         {{{0x11, Down}, {0xA2, Down}, {0x12, Down}, {0xA5, Down}}},
         0x12,
         {0x12}},
        {"Shift with A: the lower virtual key, or the lower code",
         {},
         {{{0x10, Down}, {0xA0, Down}, {'A', Down}}},
         0x10,
         {'A', 0x10}},
        {"a tap between two samples", {}, {{{'T', TappedSinceLastQuery}}}, 'T', {'T'}},
        {"a mouse click", {}, {{{1, Down}}}, 1, {}},
        {"two keys down in one sample, then a third",
         {},
         {{{'A', Down}, {'B', Down}}, {{'A', Down}, {'B', Down}, {'T', Down}}},
         'A',
         {'A', 'B', 'T'}},
        {"two keys down in one sample, lower code first", {}, {{{'A', Down}, {'Q', Down}}}, 'A', {'Q', 'A'}},
        {"two taps in one sample",
         {},
         {{{'A', TappedSinceLastQuery}, {'B', TappedSinceLastQuery}}},
         'A',
         {'A', 'B'}},
        {"left Ctrl pressed after the generic Ctrl was read",
         {},
         {{{0xA2, Down}}, {{0x11, Down}, {0xA2, Down}}},
         0xA2,
         {0xA2}},
        {"left Shift pressed after the generic Shift was read",
         {},
         {{{0xA0, Down}}, {{0x10, Down}, {0xA0, Down}}},
         0xA0,
         {0xA0}},
    };
    const LayoutKeyCodes codes = UsCodes();
    for (const ChangeCase& c : cases) {
        EXPECT_EQ(SingleCaptureTakes(c, codes), c.single) << "single capture: " << c.what;
        EXPECT_EQ(SequenceTakes(c, codes), c.sequence) << "sequence: " << c.what;
    }
}

} // namespace

namespace {

TEST(KeyClashes, InputsSharingANonZeroCodeAreMarkedOnBothSides) {
    struct ClashCase {
        const char* what;
        std::vector<KeyCode> codes;
        std::vector<bool> marked;
    };
    const std::vector<KeyCode> defaults(28, 0x02);
    const ClashCase cases[] = {
        {"the loader's defaults", defaults, std::vector<bool>(28, true)},
        {"distinct keys", {0x1E, 0x30, 0x2E, 0xC8}, {false, false, false, false}},
        {"two equal keys", {0x1E, 0x30, 0x1E}, {true, false, true}},
        {"zeros", {0, 0x30, 0}, {false, false, false}},
        {"exit key on a player's start", {0x1E, 0x02, 0x30, 0x02}, {false, true, false, true}},
    };
    for (const ClashCase& c : cases)
        EXPECT_EQ(ClashingInputs(c.codes), c.marked) << c.what;
}

} // namespace
