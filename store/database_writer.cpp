#include "store/database_writer.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>

#include "store/catalogue.h"
#include "store/disk_format.h"
#include "store/index_key.h"
#include "store/int32_bytes.h"

namespace {

constexpr int kEntriesPerPage = disk_format::kEntriesPerPage;
constexpr unsigned char kFieldEnd = disk_format::kFieldEnd;
constexpr char kLineFeed = disk_format::kRecordEnd;
constexpr unsigned char kSignature = disk_format::kIndexSignature;
constexpr std::int64_t kTreeHeader = disk_format::kIndexHeaderSize;

std::string Describe(const char* format, std::size_t a, std::size_t b = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// Keys are ordered as the index compares them: bytes taken as unsigned.
bool KeyLess(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    const int order = std::memcmp(a.data(), b.data(), common);
    return order != 0 ? order < 0 : a.size() < b.size();
}

// An output file whose every write and whose close are checked; a failure
// is remembered and reported once by Finish.
class CheckedFile {
public:
    bool Open(const std::string& path, std::string* error) {
        path_ = path;
        file_.reset(std::fopen(path.c_str(), "wb"));
        if (!file_) {
            *error = "cannot create " + path + ": " + std::strerror(errno);
            return false;
        }
        std::setvbuf(file_.get(), nullptr, _IOFBF, 1 << 16);
        return true;
    }
    void Write(const void* data, std::size_t size) {
        if (failed_ || size == 0) return;
        if (std::fwrite(data, 1, size, file_.get()) != size) Fail();
    }
    void WriteInt32(std::int32_t value) {
        unsigned char bytes[4];
        StoreInt32(bytes, value);
        Write(bytes, sizeof bytes);
    }
    bool Finish(std::string* error) {
        std::FILE* file = file_.release();
        if (file != nullptr && std::fclose(file) != 0 && !failed_) Fail();
        if (failed_) *error = "cannot write " + path_ + ": " + std::strerror(errno_);
        return !failed_;
    }

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    void Fail() {
        failed_ = true;
        errno_ = errno != 0 ? errno : EIO;
    }
    std::unique_ptr<std::FILE, Closer> file_;
    std::string path_;
    bool failed_ = false;
    int errno_ = 0;
};

// One surname of the index: its key and its range of .cor entries.
struct Group {
    const std::string* key;
    std::int32_t first;
    std::int32_t count;
};

struct TreePage {
    int count = 0;
    const Group* entries[kEntriesPerPage] = {};
    int children[disk_format::kChildrenPerPage] = {-1, -1, -1, -1, -1};  // page numbers, -1 for none
};

// Largest number of keys a tree of the given height holds.
long Capacity(int height) {
    long pages = 1;
    for (int level = 0; level < height; ++level) pages *= kEntriesPerPage + 1;
    return pages - 1;
}

// Builds a subtree of exactly height levels over groups[first .. first+n)
// and returns its page number. Every leaf lies at the same depth; each page
// takes as few entries as its children can carry, and the keys are spread
// evenly over the children, so no page ends up with fewer than one entry.
int BuildSubtree(const std::vector<Group>& groups, std::size_t first, long n, int height,
                 std::vector<TreePage>& pages) {
    const int number = static_cast<int>(pages.size());
    pages.emplace_back();
    if (height == 1) {
        pages[number].count = static_cast<int>(n);
        for (long i = 0; i < n; ++i) pages[number].entries[i] = &groups[first + i];
        return number;
    }
    const long childRoom = Capacity(height - 1) + 1;
    long count = (n + 1 + childRoom - 1) / childRoom - 1;  // entries so that children suffice
    count = std::max(1L, std::min(count, static_cast<long>(kEntriesPerPage)));
    const long rest = n - count;
    const long base = rest / (count + 1);
    const long extra = rest % (count + 1);
    std::size_t position = first;
    for (long i = 0; i <= count; ++i) {
        const long childKeys = base + (i < extra ? 1 : 0);
        const int child = BuildSubtree(groups, position, childKeys, height - 1, pages);
        pages[number].children[i] = child;
        position += static_cast<std::size_t>(childKeys);
        if (i < count) {
            pages[number].entries[i] = &groups[position];
            ++position;
        }
    }
    pages[number].count = static_cast<int>(count);
    return number;
}

// Why a person cannot be stored, or empty when they can; recordLength gets
// the length of their record, line feed included.
std::string RefusalOf(int code, const PersonRecord& person, std::size_t& recordLength) {
    const std::string& surname = person.surname;
    if (surname.empty()) return "the surname is empty";
    if (surname.find('\0') != std::string::npos) return "the surname holds a NUL byte";
    const int keyField = catalogue::KeyFieldWidth(code);
    const std::size_t keyLength = IndexKeyLength(code, surname.size());
    if (keyLength > static_cast<std::size_t>(keyField - 1)) {
        return Describe("the surname's index key is %zu characters long; the key field holds at most %zu",
                        keyLength, static_cast<std::size_t>(keyField - 1));
    }
    if (person.givenNames.find('\0') != std::string::npos) return "the given names hold a NUL byte";
    if (person.givenNames.size() > CDatabaseWriter::kMaxGivenNames) {
        return Describe("the given names are %zu bytes long; at most %zu fit", person.givenNames.size(),
                        CDatabaseWriter::kMaxGivenNames);
    }
    recordLength = 1;  // the line feed
    for (std::size_t k = 0; k < person.fields.size(); ++k) {
        const std::string& field = person.fields[k];
        if (field.find(static_cast<char>(kFieldEnd)) != std::string::npos) {
            return Describe("field %zu holds the byte 0xFF, which closes a field", k);
        }
        if (field.find(kLineFeed) != std::string::npos) {
            return Describe("field %zu holds a line feed, which ends a record", k);
        }
        if (field.find('\0') != std::string::npos) return Describe("field %zu holds a NUL byte", k);
        recordLength += field.size() + 1;
    }
    if (recordLength > CDatabaseWriter::kMaxRecord) {
        return Describe("the record is %zu bytes long (line feed included); at most %zu fit", recordLength,
                        CDatabaseWriter::kMaxRecord);
    }
    return std::string();
}

// The index key of a surname that RefusalOf accepted.
std::string KeyOf(int code, const std::string& surname) {
    // MakeIndexKey works in place on a 24-byte buffer; the surname fits, as checked.
    char key[kMaxKeySurname + 1] = {};
    std::memcpy(key, surname.data(), surname.size());
    MakeIndexKey(code, key);
    return key;
}

}  // namespace

struct CDatabaseWriter::Layout {
    std::vector<Group> groups;
    std::vector<const Person*> order;
};

CDatabaseWriter::CDatabaseWriter(int code) : code_(code) {}

bool CDatabaseWriter::Add(const PersonRecord& person, std::string* error) {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    if (catalogue::StemOf(code_) == nullptr) {
        *error = "no database has the code " + std::to_string(code_);
        return false;
    }
    if (people_.size() >= static_cast<std::size_t>(INT32_MAX)) {
        *error = "the database already holds as many people as its entry numbers can count";
        return false;
    }
    std::size_t recordLength = 0;
    *error = RefusalOf(code_, person, recordLength);
    if (!error->empty()) return false;

    Person stored;
    stored.key = KeyOf(code_, person.surname);
    stored.givenNames = person.givenNames;
    stored.record.reserve(recordLength);
    for (const std::string& field : person.fields) {
        stored.record += field;
        stored.record += static_cast<char>(kFieldEnd);
    }
    stored.record += kLineFeed;
    stored.order = people_.size();
    people_.push_back(std::move(stored));
    return true;
}

int CDatabaseWriter::SmallestNameWidth() const {
    std::size_t longest = 0;
    for (const Person& person : people_) longest = std::max(longest, person.givenNames.size());
    return static_cast<int>(longest + 1);
}

bool CDatabaseWriter::CheckWidth(int nameWidth, int& width, std::string* error) const {
    const int smallest = SmallestNameWidth();
    width = nameWidth == 0 ? smallest : nameWidth;
    if (width < 1 || width > disk_format::kMaxNameWidth) {
        *error = "the name width must be 1 to 255, not " + std::to_string(width);
        return false;
    }
    if (width < smallest) {
        *error =
            Describe("the name width %zu is too small: the longest given names need %zu bytes with their NUL",
                     static_cast<std::size_t>(width), static_cast<std::size_t>(smallest));
        return false;
    }
    return true;
}

CDatabaseWriter::Layout CDatabaseWriter::Arrange() const {
    // Surnames in index order; people of one key keep the order they came in.
    // Only the distinct keys are sorted; people are then placed by a counting
    // pass, which keeps their order within a key.
    std::unordered_map<std::string_view, std::size_t> idOfKey;
    std::vector<const std::string*> keys;
    std::vector<std::size_t> idOfPerson(people_.size());
    for (std::size_t i = 0; i < people_.size(); ++i) {
        const auto found = idOfKey.emplace(people_[i].key, keys.size());
        if (found.second) keys.push_back(&people_[i].key);
        idOfPerson[i] = found.first->second;
    }
    std::vector<std::size_t> byRank(keys.size());
    for (std::size_t id = 0; id < keys.size(); ++id) byRank[id] = id;
    std::sort(byRank.begin(), byRank.end(),
              [&keys](std::size_t a, std::size_t b) { return KeyLess(*keys[a], *keys[b]); });
    Layout layout;
    layout.groups.resize(keys.size());
    std::vector<std::size_t> rankOfId(keys.size());
    for (std::size_t rank = 0; rank < byRank.size(); ++rank) {
        rankOfId[byRank[rank]] = rank;
        layout.groups[rank] = {keys[byRank[rank]], 0, 0};
    }
    for (std::size_t id : idOfPerson) ++layout.groups[rankOfId[id]].count;
    std::int32_t next = 0;
    for (Group& group : layout.groups) {
        group.first = next;
        next += group.count;
    }
    layout.order.resize(people_.size());
    std::vector<std::int32_t> filled(layout.groups.size(), 0);
    for (std::size_t i = 0; i < people_.size(); ++i) {
        const std::size_t rank = rankOfId[idOfPerson[i]];
        const Group& group = layout.groups[rank];
        layout.order[static_cast<std::size_t>(group.first + filled[rank]++)] = &people_[i];
    }
    return layout;
}

bool CDatabaseWriter::WriteRecords(const std::string& path, const Layout& layout,
                                   std::vector<std::int32_t>& offsets, std::string* error) const {
    offsets.reserve(layout.order.size());
    CheckedFile ext;
    if (!ext.Open(path, error)) return false;
    std::int64_t position = 0;
    for (const Person* person : layout.order) {
        if (position > INT32_MAX) {
            ext.Finish(error);
            *error = "the records do not fit: a record offset would exceed 2 GiB";
            return false;
        }
        offsets.push_back(static_cast<std::int32_t>(position));
        ext.Write(person->record.data(), person->record.size());
        position += static_cast<std::int64_t>(person->record.size());
    }
    return ext.Finish(error);
}

bool CDatabaseWriter::WriteEntries(const std::string& path, const Layout& layout,
                                   const std::vector<std::int32_t>& offsets, int width,
                                   std::string* error) const {
    // Record offset and the given names NUL-padded to the width; the width last.
    CheckedFile cor;
    if (!cor.Open(path, error)) return false;
    std::vector<char> names(static_cast<std::size_t>(width));
    for (std::size_t i = 0; i < layout.order.size(); ++i) {
        std::fill(names.begin(), names.end(), '\0');
        std::memcpy(names.data(), layout.order[i]->givenNames.data(), layout.order[i]->givenNames.size());
        cor.WriteInt32(offsets[i]);
        cor.Write(names.data(), names.size());
    }
    cor.WriteInt32(width);
    return cor.Finish(error);
}

bool CDatabaseWriter::WriteIndex(const std::string& path, const Layout& layout, int& height,
                                 std::string* error) const {
    // A B-tree of exactly the height the surnames need.
    const long surnames = static_cast<long>(layout.groups.size());
    height = 0;
    while (Capacity(height) < surnames) ++height;
    std::vector<TreePage> pages;
    int root = -1;
    if (surnames > 0) root = BuildSubtree(layout.groups, 0, surnames, height, pages);

    const int keyField = catalogue::KeyFieldWidth(code_);
    const int entrySize = disk_format::IndexEntrySize(keyField);
    const int pageSize = disk_format::IndexPageSize(keyField);
    const std::int64_t treeSize = kTreeHeader + static_cast<std::int64_t>(pages.size()) * pageSize + 1;
    if (treeSize > INT32_MAX) {
        *error = "the index does not fit: a page offset would exceed 2 GiB";
        return false;
    }
    auto pageOffset = [&](int page) {
        return page < 0 ? disk_format::kNoPage
                        : static_cast<std::int32_t>(kTreeHeader + static_cast<std::int64_t>(page) * pageSize);
    };
    CheckedFile tre;
    if (!tre.Open(path, error)) return false;
    tre.WriteInt32(pageOffset(root));
    tre.WriteInt32(-1);  // spare header field
    std::vector<unsigned char> bytes(static_cast<std::size_t>(pageSize));
    for (const TreePage& page : pages) {
        std::fill(bytes.begin(), bytes.end(), 0);
        StoreInt32(bytes.data(), page.count);
        for (int e = 0; e < page.count; ++e) {
            unsigned char* entry = bytes.data() + 4 + e * entrySize;
            StoreInt32(entry, page.entries[e]->first);
            StoreInt32(entry + 4, page.entries[e]->count);
            const std::string& key = *page.entries[e]->key;
            std::memcpy(entry + disk_format::kIndexEntryFixedSize, key.data(),
                        key.size());  // NUL padding stays
        }
        unsigned char* children = bytes.data() + disk_format::ChildrenOffset(keyField);
        for (int c = 0; c < disk_format::kChildrenPerPage; ++c) {
            StoreInt32(children + 4 * c, pageOffset(page.children[c]));
        }
        tre.Write(bytes.data(), bytes.size());
    }
    tre.Write(&kSignature, 1);
    return tre.Finish(error);
}

bool CDatabaseWriter::Write(const std::string& dir, int nameWidth, std::string* error,
                            DatabaseSummary* summary) const {
    std::string ignored;
    if (error == nullptr) error = &ignored;
    const char* stem = catalogue::StemOf(code_);
    if (stem == nullptr) {
        *error = "no database has the code " + std::to_string(code_);
        return false;
    }
    int width = 0;
    if (!CheckWidth(nameWidth, width, error)) return false;

    const Layout layout = Arrange();
    const std::string base = dir.empty() ? std::string(stem) : dir + "/" + stem;
    std::vector<std::int32_t> offsets;
    int height = 0;
    if (!WriteRecords(base + ".ext", layout, offsets, error) ||
        !WriteEntries(base + ".cor", layout, offsets, width, error) ||
        !WriteIndex(base + ".tre", layout, height, error)) {
        return false;
    }

    if (summary != nullptr) {
        summary->people = static_cast<long>(layout.order.size());
        summary->surnames = static_cast<long>(layout.groups.size());
        summary->largestRange = 0;
        for (const Group& group : layout.groups) {
            summary->largestRange = std::max(summary->largestRange, static_cast<long>(group.count));
        }
        summary->treeHeight = height;
        summary->nameWidth = width;
    }
    return true;
}
