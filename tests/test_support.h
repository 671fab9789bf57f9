// Helpers shared by the tests of both builds: the built-in images, a scratch working folder,
// recorded warnings, and an image built from the format rules alone.
#pragma once

#include "settings/settings.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

using Bytes = std::vector<uint8_t>;

// Makes the built-in images available to the load and save, as start-up does.
void InstallTemplates();

// The image as the format rules describe it, built entry by entry: the built-in one, or with the
// record's values where the rules put them.
Bytes BuildImageFromRules(LayoutKind layout, const BindingSettings* values = nullptr);

// The position of a standard slot's key code in a standard file.
size_t StandardSlotByte(size_t slot);

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

#ifdef _WIN32
// The platform's name of a key, by the key-name lookup's parameter (scan value in bits 16-24).
inline std::wstring PlatformKeyName(long lParam) {
    wchar_t name[512] = {};
    GetKeyNameTextW(lParam, name, 512);
    return name;
}
#endif
