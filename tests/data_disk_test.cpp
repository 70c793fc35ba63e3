#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

#include "store/data_disk.h"
#include "store/directories.h"
#include "support/shown_outcome.h"
#include "support/test_support.h"

using platform::MessageAnswer;
using testing_support::BoxPrompt;
using testing_support::ScriptedResponder;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(DataDisk, PresentDiskShowsNoBox) {
    TempDir disk;
    WriteFileBytes(disk.File("chronaradb.id"), "");
    CDirectories dirs;
    dirs.SetDataDir(disk.Path().c_str());
    ScriptedResponder boxes;
    EXPECT_TRUE(FindDataDisk(dirs));
    EXPECT_TRUE(CheckDataDisk(dirs, BoxPrompt()));
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST(DataDisk, PromptRepeatsUntilDiskInsertedOrCancelled) {
    TempDir disk;
    CDirectories dirs;
    dirs.SetDataDir(disk.Path().c_str());
    ScriptedResponder boxes;

    // OK without inserting the disk shows the same box again; Cancel gives up.
    boxes.Script({MessageAnswer::Ok, MessageAnswer::Ok, MessageAnswer::Cancel});
    EXPECT_FALSE(CheckDataDisk(dirs, BoxPrompt()));
    ASSERT_EQ(boxes.Shown().size(), 3u);
    for (const auto& box : boxes.Shown()) {
        EXPECT_EQ(box.text, "Please insert Tavora Disk 16 (Chronara)\n\nClick OK when done.");
        EXPECT_EQ(box.caption, "Chronara");
        EXPECT_EQ(box.buttons, platform::MessageButtons::OkCancel);
        EXPECT_EQ(box.icon, platform::MessageIcon::Exclamation);
    }

    // Inserting the disk while the prompt is up and answering OK succeeds.
    boxes.Clear();
    boxes.Script({MessageAnswer::Ok});
    boxes.onShow = [&](const testing_support::ShownBox&) { WriteFileBytes(disk.File("chronaradb.id"), "x"); };
    EXPECT_TRUE(CheckDataDisk(dirs, BoxPrompt()));
    EXPECT_EQ(boxes.Shown().size(), 1u);
}

TEST(DataDisk, BoxThatFailsToShowCountsAsPresent) {
    TempDir disk;
    CDirectories dirs;
    dirs.SetDataDir(disk.Path().c_str());
    ScriptedResponder boxes;
    boxes.Script({MessageAnswer::Failed});
    EXPECT_TRUE(CheckDataDisk(dirs, BoxPrompt()));
}

TEST(DataDisk, MarkerThatIsAFolderOrUnreachableIsAbsent) {
    TempDir disk;
    CDirectories dirs;
    dirs.SetDataDir(disk.Path().c_str());
    ::mkdir(disk.File("chronaradb.id").c_str(), 0755);
    // fopen("r") of a folder succeeds on Linux; the marker must be a file to count.
    EXPECT_FALSE(FindDataDisk(dirs));

    dirs.SetDataDir(std::string(300, 'a').c_str());
    EXPECT_FALSE(FindDataDisk(dirs));
}

TEST(DataDisk, WhyNoDiskNamesWhatIsMissing) {
    TempDir disk;
    WriteFileBytes(disk.File("plain"), "");
    ::mkdir(disk.File("folder").c_str(), 0755);
    ::mkdir(disk.File("folder/chronaradb.id").c_str(), 0755);
    ::mkdir(disk.File("marked").c_str(), 0755);
    WriteFileBytes(disk.File("marked/chronaradb.id"), "");
    const struct {
        std::string dataDir;
        DiskAbsence why;
    } cases[] = {
        {disk.File("nowhere"), DiskAbsence::FolderMissing},
        {disk.File("plain/under"), DiskAbsence::FolderMissing},
        {disk.File("plain"), DiskAbsence::NotAFolder},
        {disk.Path(), DiskAbsence::MarkerMissing},
        {disk.File("folder"), DiskAbsence::MarkerMissing},
        {disk.File("marked"), DiskAbsence::None},
        {std::string(300, 'a'), DiskAbsence::PathTooLong},
    };
    for (const auto& c : cases) {
        CDirectories dirs;
        dirs.SetDataDir(c.dataDir.c_str());
        EXPECT_EQ(WhyNoDataDisk(dirs).why, c.why) << c.dataDir;
        // Whatever is missing, FindDataDisk agrees that the disk is not there.
        EXPECT_EQ(FindDataDisk(dirs), c.why == DiskAbsence::None) << c.dataDir;
    }
}
