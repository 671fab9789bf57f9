// The power lost at every point of a save, and of the start that finishes a save the power cut: the
// next start always opens, and finds the old record or the new one, exactly. And each call of a save
// failing in turn: the save takes another way or reports it, and leaves no new file behind.
#include "settings/file_system.h"
#include "settings/settings.h"
#include "tests/power_loss_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const std::string NewFileName = std::string(BindingsFileName) + ".new";

struct Operation {
    const char* what;
    LayoutKind from, to;
    // A new file of an earlier cut lies beside the bindings file, its sectors never written, with the
    // attributes of the file it was to replace.
    bool leftover;
    // No new file can be made in the folder: the save writes the file in place, which cannot be
    // atomic, so any file the load accepts will do.
    bool inPlace;
    // The operation is the start that finds the new file alone and puts it in place.
    bool recovery;
};

const Operation Operations[] = {
    {"save, standard to standard", StandardLayout, StandardLayout, false, false, false},
    {"save, standard to mahjong", StandardLayout, MahjongLayout, false, false, false},
    {"save, mahjong to standard", MahjongLayout, StandardLayout, false, false, false},
    {"save beside a leftover, standard to standard", StandardLayout, StandardLayout, true, false, false},
    {"save beside a leftover, standard to mahjong", StandardLayout, MahjongLayout, true, false, false},
    {"save beside a leftover, mahjong to standard", MahjongLayout, StandardLayout, true, false, false},
    {"start that finishes a cut save, standard", StandardLayout, StandardLayout, false, false, true},
    {"start that finishes a cut save, mahjong", MahjongLayout, MahjongLayout, false, false, true},
    {"save in place, standard to standard", StandardLayout, StandardLayout, false, true, false},
    {"save in place, standard to mahjong", StandardLayout, MahjongLayout, false, true, false},
    {"save in place, mahjong to standard", MahjongLayout, StandardLayout, false, true, false},
};

constexpr uint32_t MixedCasesPerPoint = 24;

// The image of a layout as a save writes it, with its keys, path and flags set from `seed`.
Bytes EditedImage(LayoutKind layout, uint8_t seed) {
    BindingSettings record = {
        seed, uint8_t(seed + 1), "D:\\arcade\\drv", layout == MahjongLayout, uint8_t(seed & 1), 0, 0, {}, {}};
    record.driverPath[10] = seed;
    for (size_t slot = 0; slot < MahjongKeyCount; ++slot)
        record.mahjongKeys[slot] = record.standardKeys[slot % StandardKeyCount] = uint8_t(seed + slot);
    return BuildImageFromRules(layout, &record);
}

// The folder and the record as the operation finds them; returns the file it is to leave. The
// record of a save is the wanted image loaded, as the dialog leaves it.
Bytes Prepare(const Operation& operation, Bytes& old) {
    Bytes wanted = EditedImage(operation.to, 0x40);
    old = operation.recovery ? wanted : EditedImage(operation.from, 0x10);
    UsePowerLossFolder();
    std::memset(&gSettings, 0, sizeof gSettings);
    if (!operation.recovery) {
        PutFile(BindingsFileName, wanted);
        EXPECT_TRUE(LoadSettings());
    }
    UsePowerLossFolder();
    if (operation.recovery) {
        PutFile(NewFileName, wanted);
        return wanted;
    }
    PutFile(BindingsFileName, old);
    if (operation.leftover)
        PutFile(NewFileName, Bytes(StandardFileSize, 0x5A), true);
    if (operation.inPlace)
        RefuseToCreate(NewFileName);
    return wanted;
}

bool RunOperation(const Operation& operation) {
    return operation.recovery ? LoadSettings() : SaveSettings();
}

struct Tally {
    int points = 0, inReplace = 0, cases = 0, old = 0, wanted = 0, otherLoadable = 0;
};

// The next start after the power came back: it opens, and the file is the old or the wanted one.
void ExpectAStartOpens(const Operation& operation, const Bytes& old, const Bytes& wanted, Tally& tally,
                       const std::string& point) {
    RestartAfterPowerLoss();
    std::memset(&gSettings, 0, sizeof gSettings);
    StartRecordingWarnings();
    ++tally.cases;
    ASSERT_TRUE(LoadSettings()) << operation.what << ", " << point;
    Bytes file = FilesNow()[BindingsFileName];
    if (file == old) {
        ++tally.old;
    } else if (file == wanted) {
        ++tally.wanted;
    } else {
        ++tally.otherLoadable;
        EXPECT_TRUE(operation.inPlace)
            << operation.what << ", " << point << ": neither the old file nor the new";
    }
}

std::vector<TornParts> TornCases() {
    std::vector<TornParts> cases = {{TornParts::AllOld, 0}, {TornParts::AllNew, 0}};
    for (uint32_t seed = 1; seed <= MixedCasesPerPoint; ++seed)
        cases.push_back({TornParts::Mixed, seed});
    return cases;
}

class PowerLoss : public ::testing::Test {
  protected:
    void SetUp() override {
        InstallTemplates();
        realFiles = gFileSystem;
    }
    void TearDown() override { gFileSystem = realFiles; }
    FileSystem realFiles{};
};

TEST_F(PowerLoss, AfterEveryCallOfASaveOrARecoveryTheNextStartOpensTheOldOrTheNewFile) {
    for (const Operation& operation : Operations) {
        Bytes old;
        Bytes wanted = Prepare(operation, old);
        ASSERT_TRUE(RunOperation(operation)) << operation.what;
        ASSERT_EQ(FilesNow(), (std::map<std::string, Bytes>{{BindingsFileName, wanted}}))
            << operation.what << ": the save without a loss";
        const std::vector<std::string> calls = CallsMade();
        Tally tally;
        for (size_t point = 0; point <= calls.size(); ++point) {
            for (bool inReplace : {false, true}) {
                if (inReplace && (point == calls.size() || calls[point] != "replaceFile"))
                    continue;
                ++(inReplace ? tally.inReplace : tally.points);
                std::string where = (inReplace ? "in the replace after call " : "after call ") +
                                    std::to_string(point) + (point > 0 ? " (" + calls[point - 1] + ")" : "");
                for (TornParts torn : TornCases()) {
                    Prepare(operation, old);
                    LosePowerAfter(point, inReplace, torn);
                    RunOperation(operation);
                    ExpectAStartOpens(operation, old, wanted, tally,
                                      where + ", torn case " + std::to_string(torn.choice) + "/" +
                                          std::to_string(torn.seed));
                }
            }
        }
        printf("%s: %d calls, %d crash points + %d in a replace, %d cases: old file %d, new file %d, "
               "other loadable file %d\n",
               operation.what, static_cast<int>(calls.size()), tally.points, tally.inReplace, tally.cases,
               tally.old, tally.wanted, tally.otherLoadable);
    }
}

// A failed call does nothing here, so a file is never half-written by it: the bindings file is the
// old one, the new one, or the old one cut to the new one's size first, never a mix (an old trailer
// behind a new image, say).
TEST_F(PowerLoss, AFailedCallOfASaveIsReportedOrTheSaveTakesAnotherWay) {
    for (const Operation& operation : Operations) {
        if (operation.leftover || operation.recovery)
            continue;
        Bytes old;
        Bytes wanted = Prepare(operation, old);
        SaveSettings();
        const std::vector<std::string> calls = CallsMade();
        for (size_t number = 1; number <= calls.size(); ++number) {
            const std::string& call = calls[number - 1];
            SCOPED_TRACE(std::string(operation.what) + ", call " + std::to_string(number) + " (" + call +
                         ")");
            if (call == "makeWritable" || call == "removeFile")
                continue; // nothing to report
            Prepare(operation, old);
            FailCall(number);
            StartRecordingWarnings();
            bool saves = call == "createForWriting" || (!operation.inPlace && call != "canOpenForWriting");
            ASSERT_EQ(SaveSettings(), saves);
            std::map<std::string, Bytes> files = FilesNow();
            EXPECT_EQ(files.size(), 1u) << "a new file left behind";
            if (saves) {
                EXPECT_TRUE(RecordedWarnings().empty());
                EXPECT_EQ(files[BindingsFileName], wanted);
                continue;
            }
            bool opening = call == "canOpenForWriting" || call == "openExistingForWriting";
            EXPECT_EQ(RecordedWarnings(),
                      std::vector<std::string>{opening ? CouldNotOpenOnSaveWarning : SaveFailedWarning});
            Bytes cut(old.begin(), old.begin() + static_cast<long>(std::min(old.size(), wanted.size())));
            EXPECT_TRUE(files[BindingsFileName] == old || files[BindingsFileName] == wanted ||
                        files[BindingsFileName] == cut);
        }
    }
}

} // namespace
