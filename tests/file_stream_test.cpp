// CFileStream: a seek that lands in or just ahead of the buffer is served
// by reading on; it must read exactly what a real seek would, wherever the
// target lies, and must never stand in for the seek that ends an end of
// file or that separates a write from a read.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "store/file_stream.h"
#include "support/test_support.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// Bytes that differ from their neighbours, so a read from a wrong offset shows.
std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (char& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

std::string ReadBytes(CFileStream& stream, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        const int byte = stream.GetByte();
        if (byte < 0) break;
        out += static_cast<char>(byte);
    }
    return out;
}

TEST(FileStreamTest, SeeksInAheadBehindAndBeyondTheBufferReadTheRightBytes) {
    TempDir dir;
    const std::string content = Pattern(100000);
    WriteFileBytes(dir.File("data"), content);
    CFileStream stream;
    ASSERT_TRUE(stream.Open(dir.File("data").c_str(), "rb"));
    // Same place, a few bytes on, most of a buffer on, several buffers on,
    // back inside the buffer, far back, and steps that cross block edges.
    const std::int64_t offsets[] = {0,     0,     10,    10,    300,   4090, 4100,  8000,  8000,
                                    20000, 19990, 21000, 25095, 25100, 100,  99990, 60000, 64095};
    for (std::int64_t offset : offsets) {
        ASSERT_TRUE(stream.Seek(offset)) << offset;
        EXPECT_EQ(stream.Tell(), offset);
        EXPECT_EQ(ReadBytes(stream, 7), content.substr(static_cast<std::size_t>(offset), 7)) << offset;
    }
    std::uint32_t state = 99;
    for (int step = 0; step < 2000; ++step) {
        state = state * 1664525u + 1013904223u;
        const std::int64_t here = stream.Tell();
        // Mostly short hops forward, as the readers make them, and some jumps.
        std::int64_t offset = (state % 4 != 0) ? here + static_cast<std::int64_t>(state >> 20) % 5000
                                               : static_cast<std::int64_t>(state >> 8) % 100000;
        if (offset > 99990) offset = 99990;
        ASSERT_TRUE(stream.Seek(offset));
        ASSERT_EQ(ReadBytes(stream, 3), content.substr(static_cast<std::size_t>(offset), 3)) << offset;
    }
}

TEST(FileStreamTest, SeekAfterTheEndOfTheFileClearsItAndReadsAgain) {
    TempDir dir;
    const std::string content = Pattern(3000);
    WriteFileBytes(dir.File("data"), content);
    CFileStream stream;
    ASSERT_TRUE(stream.Open(dir.File("data").c_str(), "rb"));
    // Past the end: the seek succeeds, the read fails.
    ASSERT_TRUE(stream.Seek(2990));
    EXPECT_EQ(ReadBytes(stream, 50), content.substr(2990));
    EXPECT_EQ(stream.GetByte(), -1);
    // Back to the very position the end was met at, and to one just behind it.
    ASSERT_TRUE(stream.Seek(3000));
    EXPECT_EQ(stream.GetByte(), -1);
    ASSERT_TRUE(stream.Seek(2998));
    EXPECT_EQ(ReadBytes(stream, 2), content.substr(2998));
    ASSERT_TRUE(stream.Seek(5000));
    EXPECT_EQ(stream.GetByte(), -1);
    ASSERT_TRUE(stream.Seek(1));
    EXPECT_EQ(ReadBytes(stream, 4), content.substr(1, 4));
    // A hop ahead that the file is too short for ends like a seek past the end.
    ASSERT_TRUE(stream.Seek(2999));
    ASSERT_TRUE(stream.Seek(3100));
    EXPECT_EQ(stream.GetByte(), -1);
    EXPECT_FALSE(stream.Seek(-1));
}

TEST(FileStreamTest, ReadsAfterWritesOnAnUpdateStreamSeeTheWrites) {
    TempDir dir;
    CFileStream stream;
    ASSERT_TRUE(stream.Open(dir.File("scratch").c_str(), "w+b"));
    ASSERT_TRUE(stream.Write("abcdef", 6));
    // The position already is 6; the seek must still end the writing.
    ASSERT_TRUE(stream.Seek(6));
    EXPECT_EQ(stream.GetByte(), -1);
    ASSERT_TRUE(stream.Seek(2));
    EXPECT_EQ(ReadBytes(stream, 4), "cdef");
    // A read, then a write at the end, then a read from a point just ahead.
    ASSERT_TRUE(stream.SeekEnd());
    ASSERT_TRUE(stream.Write("ghij", 4));
    ASSERT_TRUE(stream.Seek(8));
    EXPECT_EQ(ReadBytes(stream, 4), "ij");
    ASSERT_TRUE(stream.Seek(0));
    EXPECT_EQ(ReadBytes(stream, 20), "abcdefghij");
}

}  // namespace
