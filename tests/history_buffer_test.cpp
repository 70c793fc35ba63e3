// history.buf: file layout, paging by byte position, and files that cannot
// be created or written.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "browse/session/history_buffer.h"
#include "platform/file_io.h"
#include "store/directories.h"
#include "store/disk_format.h"
#include "support/failing_io.h"
#include "support/test_support.h"

namespace {

class HistoryBufferTest : public ::testing::TestWithParam<std::int32_t> {
protected:
    std::string Path() const { return dir_.File(disk_format::kHistoryFileName); }

    // Fills the buffer with count records whose offsets are 0..count-1.
    void Fill(CHistoryBuffer& buffer, int count) {
        ASSERT_TRUE(buffer.Reopen());
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(buffer.Append(i, ("name" + std::to_string(i)).c_str(), nullptr), 1);
        }
        buffer.Count();
        ASSERT_EQ(buffer.RecordCount(), count);
    }

    // Offsets of the n rows just read, for comparing whole pages.
    std::string Offsets(std::int32_t n) const {
        std::string text;
        for (std::int32_t i = 0; i < n; ++i) text += std::to_string(rows_[i].extOffset) + " ";
        return text;
    }
    static std::string Range(int first, int count) {
        std::string text;
        for (int i = first; i < first + count; ++i) text += std::to_string(i) + " ";
        return text;
    }

    testing_support::TempDir dir_;
    std::int32_t pageSize_ = GetParam();
    PageRow rows_[10] = {};
};

TEST_P(HistoryBufferTest, EmptyFile) {
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    Fill(buffer, 0);
    EXPECT_EQ(buffer.ReadFirstPage(rows_), 0);
    EXPECT_FALSE(buffer.HasPrev());
    EXPECT_FALSE(buffer.HasNext());
    EXPECT_EQ(buffer.ReadNextPage(rows_), 0);
}

TEST_P(HistoryBufferTest, ExactlyOnePage) {
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    Fill(buffer, pageSize_);
    EXPECT_EQ(buffer.ReadFirstPage(rows_), pageSize_);
    EXPECT_EQ(Offsets(pageSize_), Range(0, pageSize_));
    EXPECT_FALSE(buffer.HasPrev());
    EXPECT_FALSE(buffer.HasNext());
}

TEST_P(HistoryBufferTest, OnePageAndOneRecord) {
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    Fill(buffer, pageSize_ + 1);
    EXPECT_EQ(buffer.ReadFirstPage(rows_), pageSize_);
    EXPECT_TRUE(buffer.HasNext());
    EXPECT_FALSE(buffer.HasPrev());
    EXPECT_EQ(buffer.ReadNextPage(rows_), 1);
    EXPECT_EQ(Offsets(1), Range(pageSize_, 1));
    EXPECT_STREQ(rows_[0].givenNames, ("name" + std::to_string(pageSize_)).c_str());
    EXPECT_FALSE(buffer.HasNext());
    EXPECT_TRUE(buffer.HasPrev());
    EXPECT_EQ(buffer.ReadPrevPage(rows_), pageSize_);
    EXPECT_EQ(Offsets(pageSize_), Range(0, pageSize_));
    EXPECT_FALSE(buffer.HasPrev());
    EXPECT_TRUE(buffer.HasNext());
}

TEST_P(HistoryBufferTest, PagesOfTwoAndAHalf) {
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    Fill(buffer, 2 * pageSize_ + 3);
    EXPECT_EQ(buffer.ReadFirstPage(rows_), pageSize_);
    EXPECT_EQ(buffer.ReadNextPage(rows_), pageSize_);
    EXPECT_EQ(Offsets(pageSize_), Range(pageSize_, pageSize_));
    EXPECT_EQ(buffer.ReadNextPage(rows_), 3);
    EXPECT_EQ(Offsets(3), Range(2 * pageSize_, 3));
    EXPECT_FALSE(buffer.HasNext());
    // Back from the last page: the page that starts at byte 300 * P.
    EXPECT_EQ(buffer.ReadPrevPage(rows_), pageSize_);
    EXPECT_EQ(Offsets(pageSize_), Range(pageSize_, pageSize_));
    EXPECT_TRUE(buffer.HasPrev());
    EXPECT_TRUE(buffer.HasNext());
    EXPECT_EQ(buffer.ReadPrevPage(rows_), pageSize_);
    EXPECT_EQ(buffer.ReadPrevPage(rows_), pageSize_);  // held at byte 0
    EXPECT_EQ(Offsets(pageSize_), Range(0, pageSize_));
    EXPECT_FALSE(buffer.HasPrev());
    // Paging past the end reads nothing.
    EXPECT_EQ(buffer.ReadNextPage(rows_), pageSize_);
    EXPECT_EQ(buffer.ReadNextPage(rows_), 3);
    EXPECT_EQ(buffer.ReadNextPage(rows_), 0);
}

INSTANTIATE_TEST_SUITE_P(PageSizes, HistoryBufferTest, ::testing::Values(8, 10));

class HistoryFileTest : public ::testing::Test {
protected:
    std::string Path() const { return dir_.File(disk_format::kHistoryFileName); }
    testing_support::TempDir dir_;
    std::int32_t pageSize_ = 10;
    PageRow rows_[10] = {};
};

TEST_F(HistoryFileTest, RecordLayoutOnDisk) {
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    ASSERT_TRUE(buffer.Reopen());
    EXPECT_EQ(buffer.Append(0x01020304, "Mary Ann", nullptr), 1);
    EXPECT_EQ(buffer.Append(-2, std::string(300, 'x').c_str(), nullptr), 1);
    buffer.Count();
    const std::string bytes = testing_support::ReadFileBytes(Path());
    ASSERT_EQ(bytes.size(), 600u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(bytes.substr(4, 9), std::string("Mary Ann\0", 9));
    EXPECT_EQ(bytes.substr(300, 4), std::string("\xFE\xFF\xFF\xFF", 4));
    // Given names longer than the field are cut to leave their NUL.
    EXPECT_EQ(bytes.substr(304, 255), std::string(254, 'x') + std::string(1, '\0'));
    EXPECT_EQ(buffer.ReadFirstPage(rows_), 2);
    EXPECT_EQ(rows_[1].extOffset, -2);
}

TEST_F(HistoryFileTest, CreationAndEveryTruncateEmptyTheFile) {
    testing_support::WriteFileBytes(Path(), std::string(900, 'z'));
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    EXPECT_TRUE(buffer.IsOpen());
    EXPECT_EQ(testing_support::ReadFileBytes(Path()).size(), 0u);
    ASSERT_TRUE(buffer.Reopen());
    buffer.Append(1, "A", nullptr);
    buffer.Count();
    EXPECT_EQ(buffer.RecordCount(), 1);
    EXPECT_TRUE(buffer.Truncate());
    EXPECT_EQ(testing_support::ReadFileBytes(Path()).size(), 0u);
    buffer.Close();
    EXPECT_FALSE(buffer.IsOpen());
    // The file stays on disk when the buffer goes.
    EXPECT_EQ(::access(Path().c_str(), F_OK), 0);
}

TEST_F(HistoryFileTest, AppendsAfterAPageReadGoToTheEnd) {
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    ASSERT_TRUE(buffer.Reopen());
    for (int i = 0; i < 3; ++i) buffer.Append(i, "A", nullptr);
    buffer.Count();
    EXPECT_EQ(buffer.Read(rows_, 0, 1), 1);
    buffer.Append(3, "B", nullptr);
    buffer.Count();
    EXPECT_EQ(buffer.RecordCount(), 4);
    EXPECT_EQ(buffer.Read(rows_, 900, 10), 1);
    EXPECT_EQ(rows_[0].extOffset, 3);
}

TEST_F(HistoryFileTest, TrailingPartialRecordIsIgnored) {
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    std::string bytes(650, '\0');
    bytes[300] = 7;
    testing_support::WriteFileBytes(Path(), bytes);
    buffer.Count();
    EXPECT_EQ(buffer.RecordCount(), 2);
    EXPECT_EQ(buffer.ReadFirstPage(rows_), 2);
    EXPECT_EQ(rows_[1].extOffset, 7);
    EXPECT_FALSE(buffer.HasNext());
    EXPECT_EQ(buffer.ReadNextPage(rows_), 0);
}

TEST_F(HistoryFileTest, PagesHoldOnlyTheRecordsCounted) {
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    testing_support::WriteFileBytes(Path(), std::string(600, '\0'));
    buffer.Count();
    // The file grows behind the buffer's back after the count.
    testing_support::WriteFileBytes(Path(), std::string(3000, '\0'));
    EXPECT_EQ(buffer.ReadFirstPage(rows_), 2);
    EXPECT_FALSE(buffer.HasNext());
}

TEST_F(HistoryFileTest, ForeignGivenNamesWithoutNulAreCut) {
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    testing_support::WriteFileBytes(Path(), std::string(300, 'q'));
    buffer.Count();
    ASSERT_EQ(buffer.ReadFirstPage(rows_), 1);
    EXPECT_EQ(std::string(rows_[0].givenNames), std::string(254, 'q'));
}

void ExpectUnusable(CHistoryBuffer& buffer, PageRow* rows) {
    EXPECT_FALSE(buffer.IsOpen());
    EXPECT_FALSE(buffer.Truncate());
    EXPECT_FALSE(buffer.Reopen());
    EXPECT_EQ(buffer.Append(1, "A", nullptr), -1);
    EXPECT_EQ(buffer.Read(rows, 0, 10), -1);
    EXPECT_EQ(buffer.ReadFirstPage(rows), -1);
    EXPECT_EQ(buffer.ReadNextPage(rows), -1);
    EXPECT_EQ(buffer.ReadPrevPage(rows), -1);
    buffer.Count();
    EXPECT_EQ(buffer.RecordCount(), 0);
    EXPECT_FALSE(buffer.HasPrev());
    EXPECT_FALSE(buffer.HasNext());
}

TEST_F(HistoryFileTest, FileThatCannotBeCreated) {
    CHistoryBuffer missingFolder(dir_.File("no/such/folder/history.buf").c_str(), pageSize_);
    ExpectUnusable(missingFolder, rows_);

    ASSERT_EQ(::mkdir(Path().c_str(), 0755), 0);  // a folder where the file should be
    CHistoryBuffer folder(Path().c_str(), pageSize_);
    ExpectUnusable(folder, rows_);
}

TEST_F(HistoryFileTest, PathOverTheLimitIsNeverOpened) {
    // A real folder whose history.buf path is 256 characters long.
    std::string folder = dir_.Path();
    std::size_t remaining = 256 - std::string("/history.buf").size() - folder.size();
    while (remaining > 0) {
        const std::size_t part = remaining > 60 ? 50 : remaining;
        folder += "/" + std::string(part - 1, 'd');
        remaining -= part;
        ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    }
    const std::string path = folder + "/history.buf";
    ASSERT_EQ(path.size(), 256u);
    CHistoryBuffer buffer(path.c_str(), pageSize_);
    ExpectUnusable(buffer, rows_);
    EXPECT_NE(::access(path.c_str(), F_OK), 0);
    EXPECT_EQ(std::string(buffer.Path()), path);
}

TEST_F(HistoryFileTest, RecoversWhenTheFileBecomesCreatable) {
    const std::string folder = dir_.File("later");
    CHistoryBuffer buffer((folder + "/history.buf").c_str(), pageSize_);
    EXPECT_FALSE(buffer.IsOpen());
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    EXPECT_TRUE(buffer.Truncate());
    EXPECT_EQ(buffer.Append(5, "A", nullptr), 1);
}

TEST_F(HistoryFileTest, DefaultFolderIsMadeFirstElseNothingIsTouched) {
    {
        testing_support::ScopedEnv dataHome("XDG_DATA_HOME", dir_.File("data").c_str());
        CDirectories dirs;
        const std::string path = std::string(dirs.InstallDir()) + "history.buf";
        CHistoryBuffer buffer(path.c_str(), pageSize_, &dirs);
        EXPECT_TRUE(buffer.IsOpen());
        EXPECT_EQ(::access(path.c_str(), F_OK), 0);
    }
    // No folder to make: the bare file name is never opened, not even in the
    // folder the program runs in.
    testing_support::ScopedEnv dataHome("XDG_DATA_HOME", nullptr);
    testing_support::ScopedEnv home("HOME", nullptr);
    CDirectories nowhere;
    ASSERT_STREQ(nowhere.InstallDir(), "");
    testing_support::WriteFileBytes(Path(), "kept");
    char previous[4096];
    ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(::chdir(dir_.Path().c_str()), 0);
    {
        CHistoryBuffer refused("history.buf", pageSize_, &nowhere);
        ExpectUnusable(refused, rows_);
    }
    ASSERT_EQ(::chdir(previous), 0);
    EXPECT_EQ(testing_support::ReadFileBytes(Path()), "kept");
}

TEST_F(HistoryFileTest, WritesToAFullDeviceAreNoticed) {
    testing_support::FaultyWrites full(testing_support::WriteFault::Full);
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    ASSERT_TRUE(buffer.IsOpen());
    EXPECT_FALSE(buffer.WriteFailed());
    ASSERT_TRUE(buffer.Reopen());
    // The stream's buffer takes the first records; the device refuses them
    // at the latest when Count writes them out.
    buffer.Append(1, "A", nullptr);
    buffer.Append(2, "B", nullptr);
    buffer.Count();
    EXPECT_TRUE(buffer.WriteFailed());
    EXPECT_EQ(buffer.RecordCount(), 0);
    // Reading back does not clear it; the next search does.
    buffer.ReadFirstPage(rows_);
    EXPECT_TRUE(buffer.WriteFailed());
    buffer.Truncate();
    EXPECT_FALSE(buffer.WriteFailed());

    // Enough records to overflow the stream's buffer fail at Append itself.
    ASSERT_TRUE(buffer.Reopen());
    const int records = static_cast<int>(CHistoryBuffer::kStreamBuffer / 300) + 10;
    int written = 0;
    for (int i = 0; i < records; ++i) written += buffer.Append(i, "A", nullptr);
    EXPECT_LT(written, records);
    EXPECT_TRUE(buffer.WriteFailed());
}

TEST_F(HistoryFileTest, ASecondBufferInTheFolderKeepsItsHitsApart) {
    // Where the folder cannot hold a file without a name, the second buffer
    // names one and takes the name away at once.
    platform::FileIo noUnnamedFiles = platform::SystemIo();
    noUnnamedFiles.open = [](const char* path, int flags, mode_t mode) {
        if ((flags & O_TMPFILE) == O_TMPFILE) {
            errno = EOPNOTSUPP;
            return -1;
        }
        return ::open(path, flags, mode);
    };
    for (const bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed private file" : "named, then unnamed");
        platform::SetFileIo(unnamed ? nullptr : &noUnnamedFiles);
        CHistoryBuffer shown(Path().c_str(), pageSize_);
        ASSERT_TRUE(shown.Reopen());
        for (int i = 0; i < 12; ++i) shown.Append(i, "A", nullptr);
        shown.Count();
        EXPECT_FALSE(shown.IsPrivate());

        // Another buffer (another process, or another open in this one)
        // starts and fills while those hits are on show.
        CHistoryBuffer other(Path().c_str(), pageSize_);
        ASSERT_TRUE(other.Reopen());
        EXPECT_TRUE(other.IsPrivate());
        for (int i = 0; i < 3; ++i) other.Append(100 + i, "B", nullptr);
        other.Count();
        EXPECT_EQ(other.ReadFirstPage(rows_), 3);
        EXPECT_EQ(rows_[2].extOffset, 102);
        EXPECT_EQ(testing_support::ReadFileBytes(Path()).size(), 12u * 300u);
        EXPECT_EQ(shown.ReadFirstPage(rows_), 10);
        EXPECT_EQ(shown.ReadNextPage(rows_), 2);
        EXPECT_EQ(rows_[1].extOffset, 11);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()),
                                std::filesystem::directory_iterator()),
                  1);

        // Emptied, history.buf shows nothing: the next fill of the other takes it.
        EXPECT_TRUE(shown.Truncate());
        ASSERT_TRUE(other.Reopen());
        EXPECT_FALSE(other.IsPrivate());
        other.Append(7, "C", nullptr);
        other.Count();
        EXPECT_EQ(testing_support::ReadFileBytes(Path()).size(), 300u);
        platform::SetFileIo(nullptr);
    }

    // history.buf of another user, in a folder that users share: this one
    // may not write it (root here, so the refusal is made up) and works in
    // a file of its own.
    platform::FileIo othersFile = platform::SystemIo();
    othersFile.open = [](const char* path, int flags, mode_t mode) {
        if ((flags & O_TMPFILE) != O_TMPFILE && std::string(path).find("history.buf") != std::string::npos) {
            errno = EACCES;
            return -1;
        }
        return ::open(path, flags, mode);
    };
    platform::SetFileIo(&othersFile);
    CHistoryBuffer refused(Path().c_str(), pageSize_);
    EXPECT_TRUE(refused.Reopen());
    EXPECT_TRUE(refused.IsPrivate());
    EXPECT_EQ(refused.Append(1, "A", nullptr), 1);
    platform::SetFileIo(nullptr);
}

TEST_F(HistoryFileTest, SuccessfulFillReportsNoFailure) {
    CHistoryBuffer buffer(Path().c_str(), pageSize_);
    ASSERT_TRUE(buffer.Reopen());
    for (int i = 0; i < 100; ++i) buffer.Append(i, "A", nullptr);
    buffer.Count();
    EXPECT_EQ(buffer.RecordCount(), 100);
    EXPECT_FALSE(buffer.WriteFailed());
}

}  // namespace
