// Load and save of the settings record against real files in a scratch folder. Where each editable
// byte is read from and written to, for every shape of file, the fuzz corpus run checks; each step of
// a save failing in turn, and the power lost at each, the power-loss folder does.
#include "settings/file_system.h"
#include "settings/settings.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const std::string FileName = BindingsFileName;
namespace fs = std::filesystem;

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallTemplates();
        std::memset(&gSettings, 0, sizeof gSettings);
        StartRecordingWarnings();
        savedFileSystem = gFileSystem;
    }
    void TearDown() override { gFileSystem = savedFileSystem; }

    static std::vector<std::string> Only(const char* warning) { return {warning}; }

    ScratchFolder folder;
    FileSystem savedFileSystem{};
};

Bytes Standard() {
    return BuildImageFromRules(StandardLayout);
}

TEST_F(SettingsFile, KeysThatWereNeitherLoadedNorCapturedAreSavedAsZero) {
    WriteBytes(FileName, Standard());
    ASSERT_TRUE(LoadSettings());
    gSettings.mahjongFlag = 1;
    ASSERT_TRUE(SaveSettings());
    Bytes saved = ReadBytes(FileName);
    ASSERT_EQ(saved.size(), MahjongFileSize);
    for (uint32_t offset : MahjongKeyOffsets)
        EXPECT_EQ(saved[offset + KeyCodeInDevicePart], 0) << "device part at " << offset;
}

TEST_F(SettingsFile, AMissingFileOrAFolderInItsPlaceCannotBeOpened) {
    EXPECT_FALSE(LoadSettings());
    fs::create_directory(FileName);
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(RecordedWarnings(), std::vector<std::string>(2, CouldNotOpenWarning));
}

// Every size the load depends on, with the mahjong byte that decides which reads it makes.
TEST_F(SettingsFile, FilesTooShortForTheirReadsAreRefusedAndLeaveTheRecordAlone) {
    const std::tuple<size_t, bool, bool> cases[] = {
        // size, mahjong, loads
        {0, false, false}, {3, false, false},  {302, true, false},   {981, true, false},
        {982, true, true}, {1037, true, true}, {1037, false, false}, {1038, false, true}};
    for (auto [size, mahjong, loads] : cases) {
        SCOPED_TRACE("size " + std::to_string(size) + (mahjong ? " mahjong" : " standard"));
        std::memset(&gSettings, 0x33, sizeof gSettings);
        StartRecordingWarnings();
        Bytes file(size, 0x02);
        if (size >= 4)
            file[size - 4] = mahjong ? 1 : 0;
        WriteBytes(FileName, file);
        EXPECT_EQ(LoadSettings(), loads);
        EXPECT_EQ(RecordedWarnings(), loads ? std::vector<std::string>{} : Only(ReadFailedWarning));
        EXPECT_EQ(gSettings.systemKey, loads ? 0x02 : 0x33);
    }
}

TEST_F(SettingsFile, AShortReadIsAReadFailure) {
    WriteBytes(FileName, Standard());
    gFileSystem.readAll = [](FileHandle, uint8_t*, size_t) { return false; };
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(RecordedWarnings(), Only(ReadFailedWarning));
}

TEST_F(SettingsFile, ASaveWithoutAnEarlierFileCreatesIt) {
    gSettings.systemKey = gSettings.exitKey = 0x02;
    for (KeyCode& key : gSettings.standardKeys)
        key = 0x02;
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(ReadBytes(FileName), Standard());
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{FileName});
}

// What the platform's files put in a save's way: the save goes through with the change, or warns and
// leaves the folder as it was.
TEST_F(SettingsFile, ASaveGoesThroughWhatItCanAndIsRefusedTheRest) {
    struct Obstacle {
        const char* what;
        std::function<void()> place;
        const char* warning; // null: saved
        std::vector<std::string> folderAfter;
        std::function<void()> remove = [] {};
    };
    const std::vector<std::string> alone = {FileName};
#ifdef _WIN32
    static HANDLE holder = nullptr;
    auto holdWith = [](DWORD sharing) {
        return [sharing] {
            holder = CreateFileW(L"orvane_bindings.bin", GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
            ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        };
    };
    auto letGo = [] { CloseHandle(holder); };
#endif
    const Obstacle obstacles[] = {
        {"a read-only file",
         [] {
             fs::permissions(FileName,
                             fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                             fs::perm_options::remove);
         },
         CouldNotOpenOnSaveWarning, alone},
        {"a folder with the new file's name",
         [] { fs::create_directory(FileName + ".new"); },
         nullptr,
         {FileName, FileName + ".new"}},
#ifdef _WIN32
        {"a program holding the file without sharing", holdWith(0), CouldNotOpenOnSaveWarning, alone, letGo},
        // fopen, ifstream and the loader share reading and writing but not deletion: the new file
        // cannot take the old one's place, and the save writes into the file instead.
        {"a reader sharing reading and writing", holdWith(FILE_SHARE_READ | FILE_SHARE_WRITE), nullptr, alone,
         letGo},
        {"a hidden file",
         [] { ASSERT_TRUE(SetFileAttributesW(L"orvane_bindings.bin", FILE_ATTRIBUTE_HIDDEN)); }, nullptr,
         alone,
         [] {
             EXPECT_TRUE(GetFileAttributesW(L"orvane_bindings.bin") & FILE_ATTRIBUTE_HIDDEN)
                 << "stays hidden";
         }},
#endif
    };
    Bytes original = Standard();
    original[StandardSlotByte(1)] = 0x1E;
    for (const Obstacle& obstacle : obstacles) {
        SCOPED_TRACE(obstacle.what);
        ScratchFolder inner;
        WriteBytes(FileName, original);
        ASSERT_TRUE(LoadSettings());
        gSettings.standardKeys[0] = 0xC8;
        obstacle.place();
        StartRecordingWarnings();
        EXPECT_EQ(SaveSettings(), obstacle.warning == nullptr);
        obstacle.remove();
        fs::permissions(FileName, fs::perms::owner_all, fs::perm_options::add);
        Bytes expected = original;
        if (obstacle.warning == nullptr)
            expected[StandardSlotByte(0)] = 0xC8;
        EXPECT_EQ(ReadBytes(FileName), expected);
        EXPECT_EQ(RecordedWarnings(), obstacle.warning ? Only(obstacle.warning) : std::vector<std::string>{});
        EXPECT_EQ(FolderContents("."), obstacle.folderAfter);
    }
}

TEST_F(SettingsFile, AFolderInPlaceOfTheFileIsRefused) {
    fs::create_directory(FileName);
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(RecordedWarnings(), Only(CouldNotOpenOnSaveWarning));
    EXPECT_TRUE(fs::is_directory(FileName));
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{FileName});
}

#ifndef _WIN32
TEST_F(SettingsFile, AFolderThatNoLongerExistsIsRefused) {
    fs::path gone = fs::current_path();
    fs::remove(gone);
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(RecordedWarnings(), Only(CouldNotOpenOnSaveWarning));
    EXPECT_FALSE(fs::exists(gone));
}
#endif

// A power cut in the save's replace leaves the new file alone. Only an image that a save writes is
// put in the bindings file's place; anything else is left where it is, and the start warns as it
// does without a file. Beside a bindings file, even a whole image is left alone: it can be from an
// old power cut, with the bindings file edited since.
TEST_F(SettingsFile, ALoneNewFileIsPutInPlaceOnlyWhenItIsAWholeImage) {
    auto edited = [](LayoutKind layout, size_t at, uint8_t value) {
        Bytes image = BuildImageFromRules(layout);
        image[at] = value;
        return image;
    };
    Bytes whole = Standard(), noise(StandardFileSize);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<uint8_t>(i * 37 + 11);
    const std::tuple<const char*, Bytes, bool, bool> leftovers[] = {
        // what, bytes, beside a bindings file, put in place
        {"a standard image with a key set", edited(StandardLayout, StandardSlotByte(0), 0x1E), false, true},
        {"a mahjong image with a key set",
         edited(MahjongLayout, MahjongKeyOffsets[0] + KeyCodeInDevicePart, 0x1E), false, true},
        {"a standard image with a mahjong byte other than 1 kept from its file",
         edited(StandardLayout, StandardFileSize - 4, 7), false, true},
        {"the size of an image, with sectors that never reached the disk", noise, false, false},
        {"a standard image whose mahjong byte is 1", edited(StandardLayout, StandardFileSize - 4, 1), false,
         false},
        {"a mahjong image whose mahjong byte is 0", edited(MahjongLayout, MahjongFileSize - 4, 0), false,
         false},
        {"an image with a device byte that no save writes", edited(StandardLayout, 24, 0x99), false, false},
        {"an image cut short", Bytes(whole.begin(), whole.begin() + 1100), false, false},
        {"a whole image beside a bindings file", edited(StandardLayout, StandardSlotByte(0), 0x1E), true,
         false},
    };
    const std::string newFile = FileName + ".new";
    for (const auto& [what, bytes, beside, putInPlace] : leftovers) {
        SCOPED_TRACE(what);
        fs::remove(FileName);
        if (beside)
            WriteBytes(FileName, whole);
        WriteBytes(newFile, bytes);
        StartRecordingWarnings();
        bool loads = putInPlace || beside;
        EXPECT_EQ(LoadSettings(), loads);
        EXPECT_EQ(RecordedWarnings(), loads ? std::vector<std::string>{} : Only(CouldNotOpenWarning));
        std::vector<std::string> files = {putInPlace ? FileName : newFile};
        if (beside)
            files.insert(files.begin(), FileName);
        EXPECT_EQ(FolderContents("."), files);
        EXPECT_EQ(ReadBytes(putInPlace ? FileName : newFile), bytes);
        if (beside) {
            EXPECT_EQ(ReadBytes(FileName), whole);
        }
    }
}

} // namespace
