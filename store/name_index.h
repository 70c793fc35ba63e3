#pragma once
// CNameIndex: reader of a database's surname index (.tre), a B-tree of at
// most four entries per page that maps an index key to a range of .cor entries.
//
// Owned by CRecordDatabase from one Open to the next. The index is only
// read: a missing file is refused, never created. What goes wrong comes
// back as a value: a file whose last byte is not 4 (or that is too short to
// hold a header and that byte) as BadIndexSignature, a damaged page as
// DamagedIndex, and a failed open or read as OpenFailed or ReadFailed.
//
// The pages above the leaves can be kept between opens in a Cache, as long
// as the file is the same unchanged file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/data_file.h"
#include "store/disk_format.h"
#include "store/store_error.h"

// Receives the keys of an index walk, in key order.
class CIndexKeyVisitor {
public:
    virtual ~CIndexKeyVisitor() = default;
    // key: as the index holds it, padding blanks included, without its NUL.
    virtual void Visit(std::string_view key, std::int32_t first, std::int32_t count) = 0;
};

// How the keys a walk wants may begin, as 65536 flags (first byte * 256 +
// second byte, 0 for the second of a one-byte key), counted once so that a
// walk asks of a whole run of beginnings at once, for every index it walks.
class CKeyBeginnings {
public:
    explicit CKeyBeginnings(const bool* flags);
    // Whether any beginning in low..high is wanted.
    bool AnyIn(int low, int high) const {
        return low <= high &&
               counts_[static_cast<std::size_t>(high) + 1] - counts_[static_cast<std::size_t>(low)] > 0;
    }

private:
    // counts_[b]: how many of the beginnings before b are wanted.
    std::vector<std::int32_t> counts_;
};

class CNameIndex {
public:
    static constexpr int kEntriesPerPage = disk_format::kEntriesPerPage;
    static constexpr int kMaxKeyField = disk_format::kMaxKeyField;
    static constexpr std::int64_t kHeaderSize = disk_format::kIndexHeaderSize;
    static constexpr unsigned char kSignature = disk_format::kIndexSignature;

    struct Entry {
        std::int32_t first;
        std::int32_t count;
        char key[kMaxKeyField + 1];  // always NUL-terminated within the field width
    };
    struct Page {
        std::int32_t count;
        Entry entries[kEntriesPerPage];
        std::int32_t children[kEntriesPerPage + 1];
    };

    // The header, the root and the pages above the leaves of one file.
    class Cache {
    public:
        // Enough for the top five levels of any tree, at about 160 bytes a page.
        static constexpr std::size_t kMaxPages = 4096;
        bool Holds(const FileIdentity& file, int keyField) const {
            return valid_ && file_ == file && keyField_ == keyField;
        }
        void Start(const FileIdentity& file, int keyField, std::int32_t root);
        void Clear() {
            valid_ = false;
            pages_.clear();
        }
        const Page* Find(std::int32_t offset) const;
        void Keep(std::int32_t offset, const Page& page);
        std::int32_t Root() const { return root_; }
        std::size_t PagesKept() const { return pages_.size(); }

    private:
        bool valid_ = false;
        FileIdentity file_;
        int keyField_ = 0;
        std::int32_t root_ = -1;
        std::unordered_map<std::int32_t, Page> pages_;
    };

    // keyField is 20 (short keys) or 24 (long keys). cache: kept by the
    // caller across opens; null gives the index one of its own.
    explicit CNameIndex(int keyField, Cache* cache = nullptr);
    ~CNameIndex();
    CNameIndex(const CNameIndex&) = delete;
    CNameIndex& operator=(const CNameIndex&) = delete;

    // Opens the index at path; name is how messages call it ("titan.tre").
    // folder, when not -1, is the open data folder that holds the file as name.
    StoreError Open(const std::string& path, const std::string& name, int folder = -1);

    // key: a complete index key, NUL-terminated within keyField bytes.
    // Yields first = -1 and count = 0 when the key is absent or on an error.
    StoreError Lookup(const char* key, std::int32_t& first, std::int32_t& count);

    // Every key of the open index in key order, read from the file whole
    // (in large reads) rather than a page at a time. The same damage checks
    // as a lookup: pages inside the file, counts of 1 to 4, no loop (no more
    // pages entered than the file holds, no deeper than any tree). A damaged
    // index is reported once the walk meets the damage; keys handed over
    // before it stand.
    // beginnings, when given, names how the keys wanted may begin:
    // subtrees whose keys all begin otherwise are not read at all.
    StoreError WalkKeys(CIndexKeyVisitor& visitor, const CKeyBeginnings* beginnings = nullptr);

    void Close();

    // Internal steps of Lookup, open for tests.
    // Fills page from the cache or the file. DamagedIndex for a page that
    // lies outside the file or whose count is outside 1..4.
    StoreError ReadPage(std::int32_t offset, Page& page);
    // Position 0..n of the first entry whose key is not smaller than key.
    static int FindSlot(const char* key, const Entry* entries, int n);

    int KeyField() const { return keyField_; }
    int EntrySize() const { return disk_format::IndexEntrySize(keyField_); }
    int PageSize() const { return disk_format::IndexPageSize(keyField_); }
    std::int32_t RootOffset() const { return cache_->Root(); }
    bool IsOpen() const { return file_.IsOpen(); }
    // Pages read from the file (not from the cache) since construction.
    long PagesReadFromFile() const { return pagesRead_; }

private:
    StoreError ReadHeader(std::int32_t& root);
    // The page at offset: found points at the kept copy, or at buffer, read
    // from the file.
    StoreError LoadPage(std::int32_t offset, Page& buffer, const Page*& found);
    StoreError ReadFailure();
    StoreError Damage() const;
    bool DecodePage(const unsigned char* bytes, Page& page) const;

    int keyField_;
    std::unique_ptr<Cache> ownCache_;
    Cache* cache_;
    CDataFile file_;
    std::string name_;
    long pagesRead_ = 0;
};
