// File operations of the host build, over POSIX calls.
#include "settings/file_system.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileHandle OpenForReading(const char* name) {
    int fd = open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return NoFile;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return NoFile;
    }
    return fd;
}

bool IsMissing(const char* name) {
    struct stat info;
    return stat(name, &info) != 0 && errno == ENOENT;
}

bool SizeOf(FileHandle file, uint64_t* size) {
    off_t end = lseek(static_cast<int>(file), 0, SEEK_END);
    if (end < 0 || lseek(static_cast<int>(file), 0, SEEK_SET) != 0)
        return false;
    *size = static_cast<uint64_t>(end);
    return true;
}

// Reads or writes all `size` bytes, in as many calls as it takes.
template <typename Byte, typename Call> bool Whole(FileHandle file, Byte* bytes, size_t size, Call call) {
    for (size_t done = 0; done < size;) {
        ssize_t moved = call(static_cast<int>(file), bytes + done, size - done);
        if (moved <= 0 && !(moved < 0 && errno == EINTR))
            return false;
        done += moved > 0 ? static_cast<size_t>(moved) : 0;
    }
    return true;
}

bool ReadAll(FileHandle file, uint8_t* bytes, size_t size) {
    return Whole(file, bytes, size, read);
}

// Root may write anything, so the mode bits decide what counts as read-only.
bool CanOpenForWriting(const char* name) {
    struct stat info;
    if (stat(name, &info) != 0)
        return errno == ENOENT;
    if (!S_ISREG(info.st_mode) || (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    int fd = open(name, O_WRONLY | O_CLOEXEC);
    return fd >= 0 && close(fd) == 0;
}

void MakeWritable(const char* name) {
    struct stat info;
    if (stat(name, &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0)
        chmod(name, info.st_mode | S_IWUSR);
}

FileHandle CreateForWriting(const char* name) {
    int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    return fd < 0 ? NoFile : fd;
}

FileHandle OpenExistingForWriting(const char* name) {
    int fd = open(name, O_WRONLY | O_CLOEXEC);
    return fd < 0 ? NoFile : fd;
}

bool WriteAll(FileHandle file, const uint8_t* bytes, size_t size) {
    return Whole(file, bytes, size, write);
}

bool EndFileAt(FileHandle file, uint64_t size) {
    return ftruncate(static_cast<int>(file), static_cast<off_t>(size)) == 0;
}

bool FlushToDisk(FileHandle file) {
    return fsync(static_cast<int>(file)) == 0;
}

bool CloseFile(FileHandle file) {
    return close(static_cast<int>(file)) == 0;
}

// A rename is on disk once its folder is.
bool ReplaceFile(const char* source, const char* target) {
    if (rename(source, target) != 0)
        return false;
    int folder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

void RemoveFile(const char* name) {
    unlink(name);
}

} // namespace

FileSystem gFileSystem = {OpenForReading,    IsMissing,    SizeOf,           ReadAll,
                          CanOpenForWriting, MakeWritable, CreateForWriting, OpenExistingForWriting,
                          WriteAll,          EndFileAt,    FlushToDisk,      CloseFile,
                          ReplaceFile,       RemoveFile};
