// The one settings record of the process, and its load from and save to the bindings file.
#pragma once

#include "keys/key_codes.h"
#include "settings/bindings_file.h"

#include <cstddef>
#include <cstdint>

struct BindingSettings {
    KeyCode systemKey;
    KeyCode exitKey;
    uint8_t driverPath[DriverPathSize];
    uint8_t mahjongFlag;
    uint8_t lowResolutionFlag;
    uint8_t fourWayFlag;
    uint8_t squareFlag;
    KeyCode standardKeys[StandardKeyCount];
    KeyCode mahjongKeys[MahjongKeyCount];
};

// System key, exit key, driver path and the four flags: cleared together at start-up.
inline constexpr size_t LeadingBlockSize = 261;
static_assert(offsetof(BindingSettings, squareFlag) + 1 == LeadingBlockSize);
static_assert(offsetof(BindingSettings, standardKeys) == LeadingBlockSize);

// Read and written on the dialog's thread alone.
extern BindingSettings gSettings;

inline LayoutKind LayoutOf(const BindingSettings& record) {
    return record.mahjongFlag == 1 ? MahjongLayout : StandardLayout;
}
inline LayoutKind CurrentLayout() {
    return LayoutOf(gSettings);
}

void ClearLeadingBlock();

bool LoadSettings();
bool SaveSettings();

// Whether the bytes are exactly an image that a save writes: loaded and saved again, the same bytes.
bool IsWholeImage(const uint8_t* bytes, size_t size);

// A message box on Windows; tests install their own.
using WarningFunction = void (*)(const char* text);
extern WarningFunction gShowWarning;

inline constexpr char CouldNotOpenWarning[] = "Could not open settings file.";
inline constexpr char ReadFailedWarning[] = "Exception thrown while reading file.";
inline constexpr char CouldNotOpenOnSaveWarning[] = "Could not open settings file on save.";
inline constexpr char SaveFailedWarning[] = "Exception thrown while saving file.";
