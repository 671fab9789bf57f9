// The file operations the load and save need, in one table so that tests can make one step fail.
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
    // False for a read-only file, a folder, or a file another handle keeps from writers.
    bool (*canOpenForWriting)(const char* name);
    // Clears the attributes that keep a file from being truncated (hidden, system, read-only).
    void (*makeWritable)(const char* name);
    // Created or truncated, not shared until closed.
    FileHandle (*createForWriting)(const char* name);
    // An existing file, not truncated, shared with readers and writers.
    FileHandle (*openExistingForWriting)(const char* name);
    bool (*writeAll)(FileHandle file, const uint8_t* bytes, size_t size);
    bool (*endFileAt)(FileHandle file, uint64_t size);
    bool (*flushToDisk)(FileHandle file);
    bool (*closeFile)(FileHandle file);
    // With the target's attributes, waiting briefly for a transient holder; on disk when it returns.
    bool (*replaceFile)(const char* source, const char* target);
    void (*removeFile)(const char* name);
};

extern FileSystem gFileSystem;
