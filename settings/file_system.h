// The few file operations the load and save need, provided by each platform. They are reached
// through one table so that tests can make a single step fail.
#pragma once

#include <cstddef>
#include <cstdint>

using FileHandle = intptr_t;
inline constexpr FileHandle NoFile = -1;

struct FileSystem {
    // An existing regular file, shared with every other reader and writer.
    FileHandle (*openForReading)(const char* name);
    // True only when nothing of that name exists: not for a folder, nor a file that cannot be seen.
    bool (*isMissing)(const char* name);
    bool (*sizeOf)(FileHandle file, uint64_t* size);
    // True only when exactly `size` bytes were read.
    bool (*readAll)(FileHandle file, uint8_t* bytes, size_t size);
    // False for a read-only file, a folder, or a file that another handle keeps from writers.
    // A missing file can be written.
    bool (*canOpenForWriting)(const char* name);
    // Clears what would keep an existing file of that name from being truncated (Windows' hidden,
    // system and read-only attributes). Nothing else, and nothing for a folder.
    void (*makeWritable)(const char* name);
    // Created or truncated, not shared until closed.
    FileHandle (*createForWriting)(const char* name);
    // An existing file, not truncated, shared with readers and writers.
    FileHandle (*openExistingForWriting)(const char* name);
    bool (*writeAll)(FileHandle file, const uint8_t* bytes, size_t size);
    // Cuts the file off after `size` bytes.
    bool (*endFileAt)(FileHandle file, uint64_t size);
    bool (*flushToDisk)(FileHandle file);
    bool (*closeFile)(FileHandle file);
    // Puts `source` in the place of `target`, with the target's attributes, waiting briefly for a
    // transient holder. The new name is on disk when it returns. It is one step on NTFS; on FAT32 it
    // is several directory writes, and a power cut between them can leave `source` alone.
    bool (*replaceFile)(const char* source, const char* target);
    void (*removeFile)(const char* name);
};

extern FileSystem gFileSystem;
