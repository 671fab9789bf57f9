// The real program against failing saves, many captures at once, and many runs in a row.
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/e2e_support.h"

#include <gtest/gtest.h>

namespace {

Bytes EditedFile() {
    Bytes file = BuildImageFromRules(StandardLayout);
    file[37] = 0x1E;
    file[1372 - 2] = 1;
    return file;
}

// Presses OK and expects the warning box. The warning has no owner, so the dialog behind it is
// disabled while it is up: a second OK would start a second save. Once it is dismissed the dialog is
// there again, enabled, with every key of the visit.
void OkAndExpectWarning(Tool& tool, const char* warning) {
    Click(tool.dialog, IDOK);
    ASSERT_NE(WaitForWindow(tool, L"Error!"), nullptr) << "no warning";
    EXPECT_FALSE(IsWindowEnabled(tool.dialog));
    DismissWarning(tool, warning);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(tool.dialog) != FALSE; }, 3000))
        << "the dialog did not come back after the warning";
    EXPECT_TRUE(IsWindowVisible(tool.dialog));
}

// Changes an option, presses OK, and expects the warning, the old file, and the exit code 0 once the
// user leaves with Cancel.
void ExpectSaveRefused(const char* warning, const Bytes& before) {
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, IDC_LOW_RESOLUTION);
    OkAndExpectWarning(tool, warning);
    EXPECT_EQ(ReadBytes(BindingsFileName), before);
    EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), before);
}

class FailingSave : public ::testing::Test {
  protected:
    void SetUp() override { WriteBytes(BindingsFileName, EditedFile()); }
    ScratchFolder folder;
};

// Changes an option, presses OK, and expects the file saved with it and nothing else in the folder.
void ExpectSavedWithLowResolution(const std::vector<std::string>& folderContents) {
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, IDC_LOW_RESOLUTION);
    EXPECT_EQ(ClickAndWaitForExit(tool, IDOK), 0) << "the save did not end the program (a warning?)";
    Bytes expected = EditedFile();
    expected[1372 - 3] = 1;
    EXPECT_EQ(ReadBytes(BindingsFileName), expected);
    EXPECT_EQ(FolderContents("."), folderContents);
}

// Ordinary readers (fopen, ifstream, the loader itself) share reading and writing but not deletion,
// so the new file cannot take the old one's place: the save writes into the file instead.
TEST_F(FailingSave, AReaderSharingReadAndWriteDoesNotStopTheSave) {
    HANDLE reader = CreateFileW(L"orvane_bindings.bin", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ExpectSavedWithLowResolution({BindingsFileName});
    CloseHandle(reader);
}

TEST_F(FailingSave, AFolderWithTheNewFilesNameIsLeftAlone) {
    std::filesystem::create_directory("orvane_bindings.bin.new");
    ExpectSavedWithLowResolution({BindingsFileName, "orvane_bindings.bin.new"});
    EXPECT_TRUE(std::filesystem::is_directory("orvane_bindings.bin.new"));
}

TEST_F(FailingSave, AHiddenFileStaysHidden) {
    ASSERT_TRUE(SetFileAttributesW(L"orvane_bindings.bin", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(GetFileAttributesW(L"orvane_bindings.bin") & FILE_ATTRIBUTE_HIDDEN);
    ExpectSavedWithLowResolution({BindingsFileName});
    EXPECT_TRUE(GetFileAttributesW(L"orvane_bindings.bin") & FILE_ATTRIBUTE_HIDDEN);
}

// The read-only attribute is cleared while the dialog waits, and the second OK saves the change made
// before the first.
TEST_F(FailingSave, AReadOnlyFileIsKeptAndSavedOnceTheUserClearsIt) {
    SetFileAttributesW(L"orvane_bindings.bin", FILE_ATTRIBUTE_READONLY);
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, IDC_LOW_RESOLUTION);
    OkAndExpectWarning(tool, CouldNotOpenOnSaveWarning);
    EXPECT_EQ(ReadBytes(BindingsFileName), EditedFile());
    SetFileAttributesW(L"orvane_bindings.bin", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ClickAndWaitForExit(tool, IDOK), 0);
    Bytes expected = EditedFile();
    expected[1372 - 3] = 1;
    EXPECT_EQ(ReadBytes(BindingsFileName), expected);
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
}

TEST_F(FailingSave, AFileHeldOpenByAnotherProgramIsKept) {
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    HANDLE holder = CreateFileW(L"orvane_bindings.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    OkAndExpectWarning(tool, CouldNotOpenOnSaveWarning);
    CloseHandle(holder);
    EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), EditedFile());
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
}

TEST_F(FailingSave, AFolderRemovedWhileTheDialogIsOpenIsReported) {
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    std::filesystem::path gone = std::filesystem::current_path();
    std::filesystem::current_path(folder.previous);
    // Windows would refuse while the tool works in it; a file manager on the Linux side does not.
    RunUnix(L"/bin/rm -rf " + ToUnixPath(gone.wstring()));
    ASSERT_FALSE(std::filesystem::exists(gone));
    OkAndExpectWarning(tool, CouldNotOpenOnSaveWarning);
    EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
    EXPECT_FALSE(std::filesystem::exists(gone)) << "nothing recreated";
}

// A folder of its own under /tmp with a file system mounted on it; skipped where mounting is not
// allowed (tests not run as root).
class MountedFolder : public ::testing::Test {
  protected:
    void Mount(const std::wstring& commands) {
        previous = std::filesystem::current_path();
        unixPath = "/tmp/orvane-e2e-" + std::to_string(GetCurrentProcessId());
        windowsPath = ToWindowsPath(unixPath);
        std::wstring unixWide(unixPath.begin(), unixPath.end());
        std::filesystem::create_directories(windowsPath);
        RunUnix(commands + L" " + unixWide);
        std::filesystem::current_path(windowsPath);
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        std::wstring unixWide(unixPath.begin(), unixPath.end());
        RunUnix(L"/bin/umount -l " + unixWide + L" 2>/dev/null");
        std::error_code ignored;
        std::filesystem::remove_all(windowsPath, ignored);
    }
    std::filesystem::path previous;
    std::string unixPath;
    std::wstring windowsPath;
};

TEST_F(MountedFolder, AReadOnlyFolderKeepsTheFile) {
    Mount(L"/bin/mount -t tmpfs -o size=64k tmpfs");
    WriteBytes(BindingsFileName, EditedFile());
    RunUnix(L"/bin/mount -o remount,ro " + std::wstring(unixPath.begin(), unixPath.end()));
    {
        std::ofstream probe("probe.bin");
        if (probe.is_open())
            GTEST_SKIP() << "this machine does not allow a read-only mount here";
    }
    ExpectSaveRefused(CouldNotOpenOnSaveWarning, EditedFile());
}

// The new file cannot be written; the old one's own space takes the new image.
TEST_F(MountedFolder, AFullDiskSavesInPlaceAndLeavesNoTemporaryFile) {
    Mount(L"/bin/mount -t tmpfs -o size=4k tmpfs");
    WriteBytes(BindingsFileName, EditedFile());
    if (ReadBytes(BindingsFileName) != EditedFile())
        GTEST_SKIP() << "this machine does not allow mounting a small file system here";
    {
        std::ofstream filler("filler.bin", std::ios::binary);
        filler << std::string(4096, 'x');
        filler.flush();
        bool full = !filler.good();
        filler.close();
        std::filesystem::remove("filler.bin");
        if (!full)
            GTEST_SKIP() << "the small file system is not full";
    }
    ExpectSavedWithLowResolution({BindingsFileName});
}

class UnderLoad : public ::testing::Test {
  protected:
    ScratchFolder folder;
};

// The clicks are handled, and the captures under way, without waiting for any capture (which lasts
// 10 s); the bound leaves room for a slow or emulated machine, where 28 threads take over a second.
constexpr DWORD UnderWayWithinMs = 5000;

void StartCaptures(HWND dialog, int first, int last) {
    for (int id = first; id <= last; ++id)
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A capture shows its countdown once it has taken its snapshot of the keyboard.
bool AllCountingDown(HWND dialog, const std::vector<int>& buttons) {
    for (int id : buttons) {
        std::wstring text = Text(dialog, id - 1000);
        if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos)
            return false;
    }
    return true;
}

bool AllEnabled(HWND dialog, const std::vector<int>& ids, bool enabled) {
    for (int id : ids) {
        if ((IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE) != enabled)
            return false;
    }
    return true;
}

TEST_F(UnderLoad, EveryCaptureButtonAtOnceThenOkWhileSomeStillRun) {
    WriteBytes(BindingsFileName, BuildImageFromRules(StandardLayout));
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    std::vector<int> buttons;
    for (int id = 3000; id <= 3025; ++id)
        buttons.push_back(id);
    buttons.push_back(IDC_SYSTEM_CAPTURE);
    buttons.push_back(IDC_EXIT_CAPTURE);
    DWORD start = GetTickCount();
    StartCaptures(tool.dialog, 3000, 3025);
    StartCaptures(tool.dialog, IDC_SYSTEM_CAPTURE, IDC_EXIT_CAPTURE);
    ASSERT_TRUE(WaitUntil([&] { return AllEnabled(tool.dialog, buttons, false); }, UnderWayWithinMs));
    EXPECT_LT(GetTickCount() - start, UnderWayWithinMs);
    ASSERT_TRUE(WaitUntil([&] { return AllCountingDown(tool.dialog, buttons); }, UnderWayWithinMs));
    PressKey(L"Up", 150);
    ASSERT_TRUE(WaitUntil([&] { return AllEnabled(tool.dialog, buttons, true); }, 5000));
    std::wstring up = PlatformKeyName(0x01480000);
    for (int id : buttons)
        EXPECT_EQ(Text(tool.dialog, id - 1000), up) << "field " << id - 1000;
    Sleep(300);
    StartCaptures(tool.dialog, 3000, 3012);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowEnabled(GetDlgItem(tool.dialog, 3012)); }, UnderWayWithinMs));
    PostMessageW(tool.dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForExit(tool, 3000), 0) << "the exit did not wait for the running captures";
    Bytes expected = BuildImageFromRules(StandardLayout);
    for (uint32_t offset : StandardKeyOffsets)
        expected[offset + KeyCodeInDevicePart] = 0xC8;
    expected[1372 - 320 + 17] = 0xC8;
    expected[1372 - 288 + 17] = 0xC8;
    EXPECT_EQ(ReadBytes(BindingsFileName), expected);
}

TEST_F(UnderLoad, ManyRunsWithOkLeaveTheFileAsTheFirstRunWroteIt) {
    Bytes file = EditedFile();
    std::memcpy(&file[1372 - 260], "C:\\drivers\\orvane", 17);
    WriteBytes(BindingsFileName, file);
    Bytes afterFirst;
    // bench/run.sh makes 200 such runs.
    for (int run = 1; run <= 30; ++run) {
        Tool tool = StartWithDialog();
        ASSERT_NE(tool.dialog, nullptr) << "run " << run;
        PostMessageW(tool.dialog, WM_COMMAND, IDOK, 0);
        ASSERT_EQ(WaitForExit(tool), 0) << "run " << run;
        if (run == 1)
            afterFirst = ReadBytes(BindingsFileName);
    }
    EXPECT_EQ(afterFirst, file);
    EXPECT_EQ(ReadBytes(BindingsFileName), afterFirst);
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
}

} // namespace
