// The real program against saves that fail, and many captures at once.
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

Bytes WithLowResolution(Bytes file) {
    file[1372 - 3] = 1;
    return file;
}

// Presses OK and expects the warning box. The warning has no owner, so the dialog behind it is
// disabled while it is up: a second OK would start a second save. Once it is dismissed the dialog is
// there again, enabled, with every key of the visit.
void OkAndExpectWarning(Tool& tool) {
    Click(tool.dialog, IDOK);
    ASSERT_NE(WaitForWindow(tool, L"Error!"), nullptr) << "no warning";
    EXPECT_FALSE(IsWindowEnabled(tool.dialog));
    DismissWarning(tool, CouldNotOpenOnSaveWarning);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(tool.dialog) != FALSE; }, ReactionLimitMs))
        << "the dialog did not come back after the warning";
    EXPECT_TRUE(IsWindowVisible(tool.dialog));
}

class FailingSave : public ::testing::Test {
  protected:
    ScratchFolder folder;
};

// The read-only attribute is cleared while the dialog waits, and the second OK saves the change made
// before the first.
TEST_F(FailingSave, AReadOnlyFileIsKeptAndSavedOnceTheUserClearsIt) {
    WriteBytes(BindingsFileName, EditedFile());
    SetFileAttributesW(L"orvane_bindings.bin", FILE_ATTRIBUTE_READONLY);
    Tool tool = StartWithDialog();
    ASSERT_NE(tool.dialog, nullptr);
    Click(tool.dialog, IDC_LOW_RESOLUTION);
    OkAndExpectWarning(tool);
    EXPECT_EQ(ReadBytes(BindingsFileName), EditedFile());
    SetFileAttributesW(L"orvane_bindings.bin", FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ClickAndWaitForExit(tool, IDOK), 0);
    EXPECT_EQ(ReadBytes(BindingsFileName), WithLowResolution(EditedFile()));
    EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
}

// Disks the Windows side cannot prepare: a file system mounted on a folder of its own under /tmp
// (skipped where mounting is not allowed), or the folder removed from the Linux side while the
// dialog is open (Windows would refuse while the tool works in it). The save goes through, or it
// warns, and Cancel then leaves the file as it was.
TEST_F(FailingSave, AFullDiskSavesInPlaceAReadOnlyOrRemovedFolderWarns) {
    struct Disk {
        const char* what;
        std::wstring mount, remount;
        bool removed, saves;
    };
    const Disk disks[] = {
        {"a full disk", L"/bin/mount -t tmpfs -o size=4k tmpfs", L"", false, true},
        {"a read-only folder", L"/bin/mount -t tmpfs -o size=64k tmpfs", L"/bin/mount -o remount,ro", false,
         false},
        {"a folder removed", L"", L"", true, false},
    };
    const std::string unixPath = "/tmp/orvane-e2e-" + std::to_string(GetCurrentProcessId());
    const std::wstring unixWide(unixPath.begin(), unixPath.end()), windowsPath = ToWindowsPath(unixPath);
    for (const Disk& disk : disks) {
        SCOPED_TRACE(disk.what);
        std::filesystem::create_directories(windowsPath);
        if (!disk.mount.empty())
            RunUnix(disk.mount + L" " + unixWide);
        std::filesystem::current_path(windowsPath);
        WriteBytes(BindingsFileName, EditedFile());
        if (!disk.remount.empty())
            RunUnix(disk.remount + L" " + unixWide);
        bool prepared = ReadBytes(BindingsFileName) == EditedFile();
        {
            std::ofstream probe("probe.bin", std::ios::binary);
            probe << std::string(4096, 'x') << std::flush;
            prepared = prepared && (disk.mount.empty() || !probe.good());
        }
        std::filesystem::remove("probe.bin");
        Tool tool = prepared ? StartWithDialog() : Tool{};
        if (tool.dialog != nullptr) {
            Click(tool.dialog, IDC_LOW_RESOLUTION);
            if (disk.removed) {
                std::filesystem::current_path(folder.path);
                RunUnix(L"/bin/rm -rf " + unixWide);
            }
            if (disk.saves) {
                EXPECT_EQ(ClickAndWaitForExit(tool, IDOK), 0) << "a warning?";
            } else {
                OkAndExpectWarning(tool);
                EXPECT_EQ(ClickAndWaitForExit(tool, IDCANCEL), 0);
            }
            if (disk.removed) {
                EXPECT_FALSE(std::filesystem::exists(windowsPath)) << "nothing recreated";
            } else {
                EXPECT_EQ(ReadBytes(BindingsFileName),
                          disk.saves ? WithLowResolution(EditedFile()) : EditedFile());
                EXPECT_EQ(FolderContents("."), std::vector<std::string>{BindingsFileName});
            }
        } else {
            printf("skipped %s: this machine does not allow mounting it here\n", disk.what);
        }
        std::filesystem::current_path(folder.path);
        RunUnix(L"/bin/umount -l " + unixWide + L" 2>/dev/null; /bin/rm -rf " + unixWide);
    }
}

class UnderLoad : public ::testing::Test {
  protected:
    ScratchFolder folder;
};

// The clicks are handled, and the captures under way, without waiting for any capture (which lasts
// 10 s); the bound leaves room for a slow or emulated machine.
constexpr DWORD UnderWayWithinMs = 5000;

// A capture runs once its button is disabled and its field counts down; an input at rest shows its
// key's name.
bool Runs(HWND dialog, int button) {
    std::wstring text = Text(dialog, button - 1000);
    return !IsWindowEnabled(GetDlgItem(dialog, button)) && !text.empty() &&
           text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

bool OnlyTheLastRuns(HWND dialog, const std::vector<int>& buttons, long restingName) {
    for (int id : buttons)
        if (id == buttons.back() ? !Runs(dialog, id)
                                 : !IsWindowEnabled(GetDlgItem(dialog, id)) ||
                                       Text(dialog, id - 1000) != PlatformKeyName(restingName))
            return false;
    return true;
}

void StartCaptures(HWND dialog, const std::vector<int>& buttons) {
    for (int id : buttons)
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Capture buttons clicked one after another faster than any hand (as an accessibility tool may): each
// capture ends the one before as a stop does, and only the last takes the key. Then OK while a
// capture still runs ends the program at once.
TEST_F(UnderLoad, EachCaptureEndsTheOneBeforeThenOkWhileTheLastStillRuns) {
    Tool tool = StartOn(BuildImageFromRules(StandardLayout));
    ASSERT_NE(tool.dialog, nullptr);
    std::vector<int> buttons = {IDC_SYSTEM_CAPTURE, IDC_EXIT_CAPTURE};
    for (int id = 3000; id <= 3025; ++id)
        buttons.push_back(id);
    DWORD start = GetTickCount();
    StartCaptures(tool.dialog, buttons);
    ASSERT_TRUE(
        WaitUntil([&] { return OnlyTheLastRuns(tool.dialog, buttons, 0x00020000); }, UnderWayWithinMs));
    EXPECT_LT(GetTickCount() - start, UnderWayWithinMs);
    PressKey(L"Up", 150);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(tool.dialog, 3025)) != FALSE; }, 5000));
    EXPECT_EQ(Text(tool.dialog, 2025), PlatformKeyName(0x01480000));
    Sleep(300); // a user's hand moving back to the buttons
    std::vector<int> again(buttons.begin(), buttons.begin() + 13);
    StartCaptures(tool.dialog, again);
    ASSERT_TRUE(WaitUntil([&] { return OnlyTheLastRuns(tool.dialog, again, 0x00020000); }, UnderWayWithinMs));
    PostMessageW(tool.dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForExit(tool, 6000), 0) << "the exit did not wait for the running capture";
    Bytes expected = BuildImageFromRules(StandardLayout);
    expected[StandardSlotByte(25)] = 0xC8;
    EXPECT_EQ(ReadBytes(BindingsFileName), expected);
}

} // namespace
