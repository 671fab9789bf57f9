// Each layout's inputs in the order a sequence assigns them: the key slots, then the system and exit
// keys, which both layouts share. Whatever walks a layout's inputs walks this table.
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
std::span<const LayoutInput> CurrentInputs();

const LayoutInput* InputOfButton(LayoutKind layout, int button);

// Of either layout: a layout switch ends captures of the layout just left.
const LayoutInput* InputOfAnyControl(int id);

KeyCode& KeyOf(BindingSettings& record, const LayoutInput& input);
uint32_t KeyPosition(const LayoutInput& input, uint32_t fileSize);
std::vector<KeyCode> CurrentInputCodes();
