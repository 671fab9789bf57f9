// File operations over kernel32, and the built-in images of the bindings file as resources.
#include "settings/file_system.h"

#include "resources/resource.h"
#include "settings/bindings_file.h"
#include "settings/settings_win.h"

#include <windows.h>

#include <string>

std::wstring Widen(const char* name) {
    std::wstring wide;
    for (const char* c = name; *c != '\0'; ++c)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return wide;
}

namespace {

// Virus scanners and indexers hold a file for a moment; trusted tools retry such errors briefly.
constexpr int TransientRetries = 10;
constexpr DWORD TransientWaitMs = 50;

HANDLE AsHandle(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

FileHandle AsFileHandle(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? NoFile : reinterpret_cast<FileHandle>(handle);
}

template <typename Step> bool Retrying(Step step) {
    for (int attempt = 0;; ++attempt) {
        if (step())
            return true;
        DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
             error != ERROR_LOCK_VIOLATION) ||
            attempt == TransientRetries)
            return false;
        Sleep(TransientWaitMs);
    }
}

HANDLE OpenExisting(const std::wstring& name, DWORD access, DWORD sharing) {
    return CreateFileW(name.c_str(), access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileHandle OpenForReading(const char* name) {
    return AsFileHandle(OpenExisting(Widen(name), GENERIC_READ, ShareAll));
}

bool IsMissing(const char* name) {
    if (GetFileAttributesW(Widen(name).c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool SizeOf(FileHandle file, uint64_t* size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(AsHandle(file), &value) || value.QuadPart < 0)
        return false;
    *size = static_cast<uint64_t>(value.QuadPart);
    return true;
}

bool ReadAll(FileHandle file, uint8_t* bytes, size_t size) {
    size_t done = 0;
    while (done < size) {
        DWORD chunk = static_cast<DWORD>(size - done > 0x10000000 ? 0x10000000 : size - done);
        DWORD got = 0;
        if (!ReadFile(AsHandle(file), bytes + done, chunk, &got, nullptr) || got == 0)
            return false;
        done += got;
    }
    return true;
}

// Wine would let a move replace a read-only file, Windows would not: both refuse it here.
bool CanOpenForWriting(const char* name) {
    std::wstring wide = Widen(name);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))
        return false;
    return Retrying([&] {
        HANDLE probe = OpenExisting(wide, GENERIC_WRITE, ShareAll);
        return probe != INVALID_HANDLE_VALUE && CloseHandle(probe);
    });
}

constexpr DWORD KeepsFromTruncating = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;

// CREATE_ALWAYS refuses a read-only file, and a hidden or system one unless asked for its attributes.
void MakeWritable(const char* name) {
    std::wstring wide = Widen(name);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & KeepsFromTruncating) == 0)
        return;
    DWORD cleared = attributes & ~KeepsFromTruncating;
    SetFileAttributesW(wide.c_str(), cleared == 0 ? FILE_ATTRIBUTE_NORMAL : cleared);
}

FileHandle CreateForWriting(const char* name) {
    return AsFileHandle(CreateFileW(Widen(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

FileHandle OpenExistingForWriting(const char* name) {
    return AsFileHandle(OpenExisting(Widen(name), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE));
}

bool WriteAll(FileHandle file, const uint8_t* bytes, size_t size) {
    DWORD put = 0;
    return WriteFile(AsHandle(file), bytes, static_cast<DWORD>(size), &put, nullptr) && put == size;
}

// The file pointer stays where it was, as with ftruncate: a cut before the write leaves it at 0.
bool EndFileAt(FileHandle file, uint64_t size) {
    LARGE_INTEGER zero = {}, was = {}, end;
    end.QuadPart = static_cast<LONGLONG>(size);
    HANDLE handle = AsHandle(file);
    if (!SetFilePointerEx(handle, zero, &was, FILE_CURRENT) ||
        !SetFilePointerEx(handle, end, nullptr, FILE_BEGIN))
        return false;
    bool cut = SetEndOfFile(handle) != 0;
    if (was.QuadPart > end.QuadPart)
        was = end;
    return SetFilePointerEx(handle, was, nullptr, FILE_BEGIN) && cut;
}

bool FlushToDisk(FileHandle file) {
    return FlushFileBuffers(AsHandle(file)) != 0;
}

bool CloseFile(FileHandle file) {
    return CloseHandle(AsHandle(file)) != 0;
}

// MOVEFILE_WRITE_THROUGH covers a move done as a copy, not a rename. On FAT32 (the CompactFlash of
// many XP cabinets), flushing the moved file puts its directory entry on disk before success.
bool ReplaceFile(const char* source, const char* target) {
    std::wstring from = Widen(source), to = Widen(target);
    if (DWORD attributes = GetFileAttributesW(to.c_str()); attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(from.c_str(), attributes);
    if (!Retrying([&] {
            return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        }))
        return false;
    HANDLE moved = OpenExisting(to, GENERIC_WRITE, ShareAll);
    if (moved != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(moved);
        CloseHandle(moved);
    }
    return true;
}

void RemoveFile(const char* name) {
    DeleteFileW(Widen(name).c_str());
}

// An image missing or of the wrong size is left out, and the save then reports its failure.
LayoutTemplate LocateTemplate(HMODULE module, int id, uint32_t expectedSize) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"BINARY");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || SizeofResource(module, found) != expectedSize)
        return {nullptr, 0};
    return {static_cast<const uint8_t*>(bytes), expectedSize};
}

} // namespace

FileSystem gFileSystem = {OpenForReading,    IsMissing,    SizeOf,           ReadAll,
                          CanOpenForWriting, MakeWritable, CreateForWriting, OpenExistingForWriting,
                          WriteAll,          EndFileAt,    FlushToDisk,      CloseFile,
                          ReplaceFile,       RemoveFile};

bool LocateTemplates(HMODULE module) {
    gStandardTemplate = LocateTemplate(module, IDR_STANDARD_TEMPLATE, StandardFileSize);
    gMahjongTemplate = LocateTemplate(module, IDR_MAHJONG_TEMPLATE, MahjongFileSize);
    return gStandardTemplate.bytes != nullptr && gMahjongTemplate.bytes != nullptr;
}
