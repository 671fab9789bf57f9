// Helpers shared by the tests of both builds: the built-in images, a scratch working folder,
// recorded warnings, and an image built from the format rules alone.
#pragma once

#include "settings/bindings_file.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Makes the built-in images available to the load and save, as start-up does.
void InstallTemplates();

// The image as the format rules describe it, built entry by entry.
Bytes BuildImageFromRules(LayoutKind layout);

// The position of a standard slot's key code in a standard file.
size_t StandardSlotByte(size_t slot);

// The BindingId of each of the 53 entries, in file order.
std::vector<uint32_t> EntryIds();
bool IsBoundIn(LayoutKind layout, size_t entry);

// Warnings shown since the last call of StartRecordingWarnings.
void StartRecordingWarnings();
const std::vector<std::string>& RecordedWarnings();

// A fresh, empty working folder for the life of the object.
struct ScratchFolder {
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::filesystem::path path;
    std::filesystem::path previous;
};

Bytes ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const Bytes& bytes);
std::vector<std::string> FolderContents(const std::filesystem::path& folder);
