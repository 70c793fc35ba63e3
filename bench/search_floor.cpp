#include "bench/search_floor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "store/catalogue.h"
#include "store/index_key.h"

namespace bench {
namespace {

// The start of a record a summary needs: its first three fields, cut at
// about thirty bytes, and one byte more.
constexpr std::size_t kSummaryBytes = 64;

std::int32_t Int32At(const unsigned char* bytes) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
        (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24));
}

bool ReadAt(int fd, void* out, std::size_t size, std::int64_t offset) {
    return ::pread(fd, out, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}

bool Fail(std::string* error, const std::string& text) {
    *error = text;
    return false;
}

}  // namespace

bool SearchFloor::Prepare(const std::string& folder, int code, const std::string& surname, int pageRows,
                          std::string* error) {
    const std::string base = folder + "/" + catalogue::StemOf(code);
    marker_ = folder + "/chronaradb.id";
    tree_ = base + ".tre";
    entries_ = base + ".cor";
    records_ = base + ".ext";
    const int keyField = catalogue::KeyFieldWidth(code);
    pageSize_ = 4 + 4 * (8 + keyField) + 5 * 4;
    char key[kMaxKeySurname + 1] = {};
    std::strncpy(key, surname.c_str(), kMaxKeySurname);
    MakeIndexKey(code, key);

    const int tree = ::open(tree_.c_str(), O_RDONLY);
    if (tree < 0) return Fail(error, "cannot open " + tree_);
    unsigned char header[8];
    bool ok = ReadAt(tree, header, sizeof header, 0);
    std::int64_t offset = ok ? Int32At(header) : -1;
    std::int32_t first = -1;
    std::int32_t count = 0;
    std::vector<unsigned char> page(static_cast<std::size_t>(pageSize_));
    while (ok && offset != -1 && pages_.size() < 64) {
        pages_.push_back(offset);
        ok = ReadAt(tree, page.data(), page.size(), offset);
        const std::int32_t n = ok ? Int32At(page.data()) : 0;
        int slot = 0;
        while (slot < n &&
               std::strcmp(key, reinterpret_cast<const char*>(&page[4 + slot * (8 + keyField) + 8])) > 0) {
            ++slot;
        }
        if (slot < n &&
            std::strcmp(key, reinterpret_cast<const char*>(&page[4 + slot * (8 + keyField) + 8])) == 0) {
            first = Int32At(&page[4 + slot * (8 + keyField)]);
            count = Int32At(&page[4 + slot * (8 + keyField) + 4]);
            break;
        }
        offset = Int32At(&page[4 + 4 * (8 + keyField) + 4 * slot]);
    }
    ::close(tree);
    if (!ok) return Fail(error, "cannot read " + tree_);
    found_ = first >= 0;
    if (!found_) return true;

    struct stat info {};
    if (::stat(entries_.c_str(), &info) != 0) return Fail(error, "cannot stat " + entries_);
    widthAt_ = static_cast<std::int64_t>(info.st_size) - 4;
    const int cor = ::open(entries_.c_str(), O_RDONLY);
    unsigned char width[4];
    ok = cor >= 0 && ReadAt(cor, width, sizeof width, widthAt_);
    const std::int32_t entrySize = ok ? Int32At(width) + 4 : 0;
    const std::int32_t rows = count < pageRows ? count : pageRows;
    entriesAt_ = static_cast<std::int64_t>(first) * entrySize;
    entriesBytes_ = static_cast<std::size_t>(rows) * static_cast<std::size_t>(entrySize);
    std::vector<unsigned char> bytes(entriesBytes_);
    ok = ok && ReadAt(cor, bytes.data(), bytes.size(), entriesAt_);
    if (cor >= 0) ::close(cor);
    if (!ok) return Fail(error, "cannot read " + entries_);
    for (std::int32_t i = 0; i < rows; ++i) {
        summaries_.emplace_back(Int32At(&bytes[static_cast<std::size_t>(i * entrySize)]), kSummaryBytes);
    }
    return true;
}

bool SearchFloor::Run() const {
    unsigned char buffer[4096];
    int fd = ::open(marker_.c_str(), O_RDONLY);
    if (fd < 0) return false;
    ::close(fd);
    fd = ::open(tree_.c_str(), O_RDONLY);
    bool ok = fd >= 0 && ::pread(fd, buffer, 8, 0) == 8;
    for (std::int64_t page : pages_) {
        ok = ok &&
             ::pread(fd, buffer, static_cast<std::size_t>(pageSize_), static_cast<off_t>(page)) == pageSize_;
    }
    if (fd >= 0) ::close(fd);
    if (!ok || !found_) return ok;
    fd = ::open(entries_.c_str(), O_RDONLY);
    ok = fd >= 0 && ::pread(fd, buffer, 4, static_cast<off_t>(widthAt_)) == 4 &&
         ::pread(fd, buffer, entriesBytes_, static_cast<off_t>(entriesAt_)) ==
             static_cast<ssize_t>(entriesBytes_);
    if (fd >= 0) ::close(fd);
    fd = ::open(records_.c_str(), O_RDONLY);
    ok = ok && fd >= 0;
    for (const auto& summary : summaries_) {
        ok = ok && ::pread(fd, buffer, summary.second, static_cast<off_t>(summary.first)) > 0;
    }
    if (fd >= 0) ::close(fd);
    return ok;
}

}  // namespace bench
