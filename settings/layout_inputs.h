// Each layout's inputs in the order the dialog lists them and a sequence assigns them: the key
// slots, then the system key and the exit key, which both layouts share. For each, where its key
// code lives in the settings record and in the bindings file, and the dialog's key field and
// capture button that show and assign it. Whatever walks a layout's inputs walks this table.
#pragma once

#include "settings/settings.h"

#include <span>
#include <vector>

struct LayoutInput {
    uint16_t recordByte; // the key code's offset in BindingSettings
    uint32_t devicePart; // the file offset of the input's device part, or its distance from the end
    bool fromEnd;
    int keyField;
    int captureButton;
};

std::span<const LayoutInput> InputsOf(LayoutKind layout);
// The inputs of the layout that the settings record holds now.
std::span<const LayoutInput> CurrentInputs();

// The input whose key a capture button of the layout assigns; null for an ID that names none.
const LayoutInput* InputOfButton(LayoutKind layout, int button);

// The input of either layout whose key field or capture button has the ID; null for none. For the
// captures that a layout switch ends, whose inputs are of the layout just left, and for the key
// fields of both sets.
const LayoutInput* InputOfAnyControl(int id);

KeyCode& KeyOf(BindingSettings& record, const LayoutInput& input);
// The position of the input's key code in a bindings file of the given size.
uint32_t KeyPosition(const LayoutInput& input, uint32_t fileSize);
// The key codes of the current layout's inputs, in order.
std::vector<KeyCode> CurrentInputCodes();
