#include "settings/layout_inputs.h"

#include "resources/resource.h"

#include <cstddef>

namespace {

// A layout's slots take consecutive key fields and capture buttons from its first ones.
template <size_t Slots>
constexpr std::array<LayoutInput, Slots + 2> InputTable(const std::array<uint32_t, Slots>& deviceParts,
                                                        size_t firstKey, int firstField, int firstButton) {
    std::array<LayoutInput, Slots + 2> inputs = {};
    for (size_t i = 0; i < Slots; ++i)
        inputs[i] = {static_cast<uint16_t>(firstKey + i), deviceParts[i], false,
                     firstField + static_cast<int>(i), firstButton + static_cast<int>(i)};
    inputs[Slots] = {offsetof(BindingSettings, systemKey), TrailerOffsets[SystemKeyPart], true,
                     IDC_SYSTEM_KEY, IDC_SYSTEM_CAPTURE};
    inputs[Slots + 1] = {offsetof(BindingSettings, exitKey), TrailerOffsets[ExitKeyPart], true, IDC_EXIT_KEY,
                         IDC_EXIT_CAPTURE};
    return inputs;
}

constexpr auto StandardInputs = InputTable(StandardKeyOffsets, offsetof(BindingSettings, standardKeys),
                                           IDC_STANDARD_KEY_FIRST, IDC_STANDARD_CAPTURE_FIRST);
constexpr auto MahjongInputs = InputTable(MahjongKeyOffsets, offsetof(BindingSettings, mahjongKeys),
                                          IDC_MAHJONG_KEY_FIRST, IDC_MAHJONG_CAPTURE_FIRST);

} // namespace

std::span<const LayoutInput> InputsOf(LayoutKind layout) {
    return layout == MahjongLayout ? std::span<const LayoutInput>(MahjongInputs) : StandardInputs;
}

std::span<const LayoutInput> CurrentInputs() {
    return InputsOf(CurrentLayout());
}

const LayoutInput* InputOfButton(LayoutKind layout, int button) {
    for (const LayoutInput& input : InputsOf(layout))
        if (input.captureButton == button)
            return &input;
    return nullptr;
}

const LayoutInput* InputOfAnyControl(int id) {
    for (LayoutKind layout : {StandardLayout, MahjongLayout})
        for (const LayoutInput& input : InputsOf(layout))
            if (input.keyField == id || input.captureButton == id)
                return &input;
    return nullptr;
}

KeyCode& KeyOf(BindingSettings& record, const LayoutInput& input) {
    return reinterpret_cast<KeyCode*>(&record)[input.recordByte];
}

uint32_t KeyPosition(const LayoutInput& input, uint32_t fileSize) {
    return (input.fromEnd ? fileSize - input.devicePart : input.devicePart) + KeyCodeInDevicePart;
}

std::vector<KeyCode> CurrentInputCodes() {
    std::vector<KeyCode> codes;
    for (const LayoutInput& input : CurrentInputs())
        codes.push_back(KeyOf(gSettings, input));
    return codes;
}
