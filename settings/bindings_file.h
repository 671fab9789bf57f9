// The bindings file the loader reads: its sizes, the tables of its editable bytes, its two images.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr char BindingsFileName[] = "orvane_bindings.bin";

// Within a device part, the key code sits at this byte.
inline constexpr uint32_t KeyCodeInDevicePart = 17;

inline constexpr uint32_t StandardFileSize = 1372;
inline constexpr uint32_t MahjongFileSize = 1420;
inline constexpr uint32_t DriverPathSize = 255;

inline constexpr size_t StandardKeyCount = 26;
inline constexpr size_t MahjongKeyCount = 28;

// File offsets of the device parts of the standard layout's key slots 0-25.
inline constexpr std::array<uint32_t, StandardKeyCount> StandardKeyOffsets = {
    20,  52,  84,  116, 348, 380, 412, 444, 476, 508, 540, 572, 604,
    636, 668, 700, 732, 764, 796, 828, 860, 892, 924, 956, 988, 1020};

// File offsets of the device parts of the mahjong layout's key slots 0-27.
inline constexpr std::array<uint32_t, MahjongKeyCount> MahjongKeyOffsets = {
    52,  84,  116, 148, 180, 212, 244, 276, 308, 340, 372, 404, 436, 468,
    500, 532, 564, 596, 628, 660, 692, 724, 756, 788, 820, 900, 932, 964};

// Positions counted back from the end of the file: a value v names position size - v.
inline constexpr std::array<uint32_t, 7> TrailerOffsets = {320, 288, 260, 4, 3, 2, 1};

enum TrailerField {
    SystemKeyPart,
    ExitKeyPart,
    DriverPathStart,
    MahjongFlagPosition,
    LowResolutionFlagPosition,
    FourWayFlagPosition,
    SquareFlagPosition,
};

constexpr uint32_t TrailerPosition(uint32_t fileSize, TrailerField field) {
    return fileSize - TrailerOffsets[field];
}

enum LayoutKind { StandardLayout, MahjongLayout };

// One complete image of the bindings file, carried in the program.
struct LayoutTemplate {
    const uint8_t* bytes;
    uint32_t size;
};

extern LayoutTemplate gStandardTemplate;
extern LayoutTemplate gMahjongTemplate;

const LayoutTemplate& TemplateFor(LayoutKind layout);

// The smallest file whose reads all fall inside it.
uint32_t SmallestReadableSize(LayoutKind layout);
