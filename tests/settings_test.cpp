// Load and save of the settings record against real files in a scratch folder. Where each editable
// byte is read from and written to, for every shape of file, the fuzz corpus run checks.
#include "settings/file_system.h"
#include "settings/settings.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const std::string FileName = BindingsFileName;

class SettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallTemplates();
        std::memset(&gSettings, 0, sizeof gSettings);
        StartRecordingWarnings();
        savedFileSystem = gFileSystem;
    }
    void TearDown() override { gFileSystem = savedFileSystem; }

    std::vector<std::string> Warnings() const { return RecordedWarnings(); }
    static std::vector<std::string> Only(const char* warning) { return {warning}; }

    ScratchFolder folder;
    FileSystem savedFileSystem{};
};

Bytes Standard() {
    return BuildImageFromRules(StandardLayout);
}

size_t KeyByte(uint32_t devicePart) {
    return devicePart + KeyCodeInDevicePart;
}

TEST_F(SettingsFile, EachBuiltInImageLoadsAsItsDefaultsAndSavesBackUnchanged) {
    for (LayoutKind layout : {StandardLayout, MahjongLayout}) {
        SCOPED_TRACE(layout == MahjongLayout ? "mahjong" : "standard");
        std::memset(&gSettings, 0, sizeof gSettings);
        Bytes image = BuildImageFromRules(layout);
        WriteBytes(FileName, image);
        ASSERT_TRUE(LoadSettings());
        EXPECT_EQ(gSettings.systemKey, 0x02);
        EXPECT_EQ(gSettings.exitKey, 0x02);
        EXPECT_EQ(gSettings.driverPath[0], 0);
        EXPECT_EQ(gSettings.mahjongFlag, layout == MahjongLayout ? 1 : 0);
        EXPECT_EQ(gSettings.lowResolutionFlag | gSettings.fourWayFlag | gSettings.squareFlag, 0);
        const KeyCode* keys = layout == MahjongLayout ? gSettings.mahjongKeys : gSettings.standardKeys;
        size_t count = layout == MahjongLayout ? MahjongKeyCount : StandardKeyCount;
        for (size_t i = 0; i < count; ++i)
            EXPECT_EQ(keys[i], 0x02) << "slot " << i;
        ASSERT_TRUE(SaveSettings());
        EXPECT_EQ(ReadBytes(FileName), image);
    }
    EXPECT_TRUE(Warnings().empty());
}

TEST_F(SettingsFile, KeysThatWereNeitherLoadedNorCapturedAreSavedAsZero) {
    WriteBytes(FileName, Standard());
    ASSERT_TRUE(LoadSettings());
    gSettings.mahjongFlag = 1;
    ASSERT_TRUE(SaveSettings());
    Bytes saved = ReadBytes(FileName);
    ASSERT_EQ(saved.size(), MahjongFileSize);
    for (uint32_t offset : MahjongKeyOffsets)
        EXPECT_EQ(saved[KeyByte(offset)], 0) << "device part at " << offset;
    EXPECT_EQ(saved[1420 - 4], 1);
}

TEST_F(SettingsFile, AMissingFileOrAFolderInItsPlaceCannotBeOpened) {
    EXPECT_FALSE(LoadSettings());
    std::filesystem::create_directory(FileName);
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(Warnings(), std::vector<std::string>(2, CouldNotOpenWarning));
}

// Every size the load depends on, with the mahjong byte that decides which reads it makes.
TEST_F(SettingsFile, FilesTooShortForTheirReadsAreRefusedAndLeaveTheRecordAlone) {
    struct Case {
        size_t size;
        bool mahjong;
        bool loads;
    };
    const Case cases[] = {{0, false, false},    {1, false, false},   {2, false, false},  {3, false, false},
                          {302, true, false},   {981, true, false},  {982, true, true},  {1037, true, true},
                          {1037, false, false}, {1038, false, true}, {1372, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE("size " + std::to_string(c.size) + (c.mahjong ? " mahjong" : " standard"));
        std::memset(&gSettings, 0x33, sizeof gSettings);
        StartRecordingWarnings();
        Bytes file(c.size, 0x02);
        if (c.size >= 4)
            file[c.size - 4] = c.mahjong ? 1 : 0;
        WriteBytes(FileName, file);
        EXPECT_EQ(LoadSettings(), c.loads);
        if (c.loads) {
            EXPECT_TRUE(Warnings().empty());
            EXPECT_EQ(gSettings.systemKey, 0x02);
        } else {
            EXPECT_EQ(Warnings(), Only(ReadFailedWarning));
            EXPECT_EQ(gSettings.systemKey, 0x33);
            EXPECT_EQ(gSettings.standardKeys[0], 0x33);
        }
    }
}

TEST_F(SettingsFile, AShortReadIsAReadFailure) {
    WriteBytes(FileName, Standard());
    gFileSystem.readAll = [](FileHandle, uint8_t*, size_t) { return false; };
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(Warnings(), Only(ReadFailedWarning));
}

// A save that cannot proceed must leave the user's file and folder exactly as they were.
class FailedSave : public SettingsFile {
  protected:
    void SetUp() override {
        SettingsFile::SetUp();
        original = Standard();
        original[37] = 0x1E;
        WriteBytes(FileName, original);
        ASSERT_TRUE(LoadSettings());
        gSettings.standardKeys[0] = 0xC8;
    }
    void ExpectNothingChanged(const char* warning) {
        EXPECT_FALSE(SaveSettings());
        EXPECT_EQ(Warnings(), Only(warning));
        gFileSystem = savedFileSystem;
        std::filesystem::permissions(FileName, std::filesystem::perms::owner_all);
        EXPECT_EQ(ReadBytes(FileName), original);
        EXPECT_EQ(FolderContents("."), std::vector<std::string>{FileName});
    }
    Bytes original;
};

TEST_F(FailedSave, AReadOnlyFileIsRefused) {
    std::filesystem::permissions(FileName,
                                 std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    ExpectNothingChanged(CouldNotOpenOnSaveWarning);
}

TEST_F(FailedSave, AFolderInPlaceOfTheFileIsRefused) {
    std::filesystem::remove(FileName);
    std::filesystem::create_directory(FileName);
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(Warnings(), Only(CouldNotOpenOnSaveWarning));
    EXPECT_TRUE(std::filesystem::is_directory(FileName));
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{FileName});
}

// Each fault lets the real step run first where it can, so a file really is half-done on disk.
FileSystem gRealFiles = gFileSystem;
// How many calls of the faulty step fail; later calls run as they really do.
int gFailuresLeft = 0;

bool Fails() {
    if (gFailuresLeft == 0)
        return false;
    --gFailuresLeft;
    return true;
}

struct StepFault {
    const char* name;
    void (*inject)(FileSystem& files);
};

// Steps that the new file and the write in place both take.
const StepFault SharedStepFaults[] = {
    {"Write",
     [](FileSystem& files) {
         files.writeAll = [](FileHandle file, const uint8_t* bytes, size_t size) {
             if (!Fails())
                 return gRealFiles.writeAll(file, bytes, size);
             gRealFiles.writeAll(file, bytes, size / 2);
             return false;
         };
     }},
    {"EndFile",
     [](FileSystem& files) {
         files.endFileAt = [](FileHandle file, uint64_t size) {
             return !Fails() && gRealFiles.endFileAt(file, size);
         };
     }},
    {"Flush",
     [](FileSystem& files) {
         files.flushToDisk = [](FileHandle file) { return !Fails() && gRealFiles.flushToDisk(file); };
     }},
    {"Close",
     [](FileSystem& files) {
         files.closeFile = [](FileHandle file) { return gRealFiles.closeFile(file) && !Fails(); };
     }},
};

const StepFault NewFileStepFaults[] = {
    {"Replace",
     [](FileSystem& files) {
         files.replaceFile = [](const char* source, const char* target) {
             return !Fails() && gRealFiles.replaceFile(source, target);
         };
     }},
    {"CreateTemporary",
     [](FileSystem& files) {
         files.createForWriting = [](const char* name) {
             return Fails() ? NoFile : gRealFiles.createForWriting(name);
         };
     }},
};

class FailingStep : public FailedSave, public ::testing::WithParamInterface<StepFault> {
  protected:
    void Inject(int failures) {
        gFailuresLeft = failures;
        GetParam().inject(gFileSystem);
    }
};

TEST_P(FailingStep, OfTheNewFileFallsBackToWritingTheFileInPlace) {
    Inject(1);
    EXPECT_TRUE(SaveSettings());
    EXPECT_TRUE(Warnings().empty());
    Bytes expected = original;
    expected[37] = 0xC8;
    EXPECT_EQ(ReadBytes(FileName), expected);
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{FileName});
}

using FailingSharedStep = FailingStep;

TEST_P(FailingSharedStep, OfBothWaysIsReportedAndLeavesNoTemporaryFile) {
    Inject(2);
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(Warnings(), Only(SaveFailedWarning));
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{FileName});
}

auto StepName = [](const auto& test) { return std::string(test.param.name); };
INSTANTIATE_TEST_SUITE_P(Shared, FailingStep, ::testing::ValuesIn(SharedStepFaults), StepName);
INSTANTIATE_TEST_SUITE_P(NewFileOnly, FailingStep, ::testing::ValuesIn(NewFileStepFaults), StepName);
INSTANTIATE_TEST_SUITE_P(Shared, FailingSharedStep, ::testing::ValuesIn(SharedStepFaults), StepName);

TEST_F(FailedSave, NeitherANewFileNorTheOldOneOpenedForWritingIsReported) {
    gFileSystem.createForWriting = [](const char*) { return NoFile; };
    gFileSystem.openExistingForWriting = [](const char*) { return NoFile; };
    ExpectNothingChanged(CouldNotOpenOnSaveWarning);
}

TEST_F(SettingsFile, ARefusedCutOfALongerFileWrittenInPlaceLeavesItWhole) {
    Bytes original = BuildImageFromRules(MahjongLayout);
    original[KeyByte(MahjongKeyOffsets[0])] = 0x1E;
    WriteBytes(FileName, original);
    ASSERT_TRUE(LoadSettings());
    gSettings.mahjongFlag = 0;
    gFileSystem.replaceFile = [](const char*, const char*) { return false; };
    gFileSystem.endFileAt = [](FileHandle, uint64_t) { return false; };
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(Warnings(), Only(SaveFailedWarning));
    EXPECT_EQ(ReadBytes(FileName), original);

    gFileSystem.endFileAt = savedFileSystem.endFileAt;
    EXPECT_TRUE(SaveSettings());
    Bytes expected = Standard();
    for (uint32_t devicePart : StandardKeyOffsets)
        expected[KeyByte(devicePart)] = 0;
    EXPECT_EQ(ReadBytes(FileName), expected);
}

// Windows refuses to truncate a hidden, system or read-only file with CREATE_ALWAYS (Wine run as
// root does not), so a leftover new file that took the old file's attributes made every later save
// fall back to writing in place, and stayed behind. The fake refuses it the same way.
bool gLeftoverRefused = false;

TEST_F(SettingsFile, ALeftoverWithTheOldFilesAttributesStillLetsTheSaveReplaceTheFile) {
    WriteBytes(FileName, Standard());
    WriteBytes(FileName + ".new", Bytes(100, 0x55));
#ifdef _WIN32
    ASSERT_TRUE(SetFileAttributesW(L"orvane_bindings.bin.new",
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
#endif
    ASSERT_TRUE(LoadSettings());
    gLeftoverRefused = true;
    gFileSystem.makeWritable = [](const char* name) {
        gLeftoverRefused = false;
        gRealFiles.makeWritable(name);
    };
    gFileSystem.createForWriting = [](const char* name) {
        return gLeftoverRefused ? NoFile : gRealFiles.createForWriting(name);
    };
    gSettings.standardKeys[0] = 0xC8;
    EXPECT_TRUE(SaveSettings());
    EXPECT_TRUE(Warnings().empty());
    Bytes expected = Standard();
    expected[37] = 0xC8;
    EXPECT_EQ(ReadBytes(FileName), expected);
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{FileName});
}

TEST_F(SettingsFile, ASaveWithoutAnEarlierFileCreatesIt) {
    gSettings.systemKey = 0x02;
    gSettings.exitKey = 0x02;
    for (KeyCode& key : gSettings.standardKeys)
        key = 0x02;
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(ReadBytes(FileName), Standard());
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{FileName});
}

// A power cut in the save's replace leaves the new file alone. Only an image that a save writes is
// put in the bindings file's place; anything else is left where it is, and the start warns as it
// does without a file.
TEST_F(SettingsFile, ALoneNewFileIsPutInPlaceOnlyWhenItIsAWholeImage) {
    auto edited = [](LayoutKind layout, size_t at, uint8_t value) {
        Bytes image = BuildImageFromRules(layout);
        image[at] = value;
        return image;
    };
    Bytes whole = Standard(), noise(StandardFileSize);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<uint8_t>(i * 37 + 11);
    struct Leftover {
        const char* what;
        Bytes bytes;
        bool putInPlace;
    };
    const Leftover leftovers[] = {
        {"a standard image with a key set", edited(StandardLayout, StandardSlotByte(0), 0x1E), true},
        {"a mahjong image with a key set", edited(MahjongLayout, KeyByte(MahjongKeyOffsets[0]), 0x1E), true},
        {"a standard image with a mahjong byte other than 1 kept from its file",
         edited(StandardLayout, StandardFileSize - 4, 7), true},
        {"the size of an image, with sectors that never reached the disk", noise, false},
        {"a standard image whose mahjong byte is 1", edited(StandardLayout, StandardFileSize - 4, 1), false},
        {"a mahjong image whose mahjong byte is 0", edited(MahjongLayout, MahjongFileSize - 4, 0), false},
        {"an image with a device byte that no save writes", edited(StandardLayout, 24, 0x99), false},
        {"an image cut short", Bytes(whole.begin(), whole.begin() + 1100), false},
    };
    const std::string newFile = FileName + ".new";
    for (const Leftover& leftover : leftovers) {
        SCOPED_TRACE(leftover.what);
        std::filesystem::remove(FileName);
        WriteBytes(newFile, leftover.bytes);
        StartRecordingWarnings();
        EXPECT_EQ(LoadSettings(), leftover.putInPlace);
        if (leftover.putInPlace) {
            EXPECT_TRUE(Warnings().empty());
            EXPECT_EQ(FolderContents("."), std::vector<std::string>{FileName});
            EXPECT_EQ(ReadBytes(FileName), leftover.bytes);
        } else {
            EXPECT_EQ(Warnings(), Only(CouldNotOpenWarning));
            EXPECT_EQ(FolderContents("."), std::vector<std::string>{newFile});
            EXPECT_EQ(ReadBytes(newFile), leftover.bytes);
        }
    }
}

#ifdef _WIN32
TEST_F(FailedSave, AFileHeldOpenWithoutSharingIsRefused) {
    HANDLE holder = CreateFileW(L"orvane_bindings.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SaveSettings());
    CloseHandle(holder);
    EXPECT_EQ(Warnings(), Only(CouldNotOpenOnSaveWarning));
    EXPECT_EQ(ReadBytes(FileName), original);
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{FileName});
}
#else
TEST_F(SettingsFile, AFolderThatNoLongerExistsIsRefused) {
    std::filesystem::path gone = std::filesystem::current_path();
    std::filesystem::remove(gone);
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(Warnings(), Only(CouldNotOpenOnSaveWarning));
    EXPECT_FALSE(std::filesystem::exists(gone));
}
#endif

} // namespace
