#pragma once
// CNameIndex: reader of a database's surname index (.tre), a B-tree of at
// most four entries per page that maps an index key to a range of .cor entries.
//
// Owned by CRecordDatabase from one Open to the next. A missing file is
// created as an empty index; a file whose last byte is not 4 (or that is too
// short to hold a header and that byte) ends the process after
// "wrong file format!". A damaged page found during a lookup is reported
// with the same message, the lookup finds nothing and the program goes on.

#include <cstdint>

#include "store/disk_format.h"
#include "store/file_stream.h"

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

    // keyField is 20 (short keys) or 24 (long keys).
    CNameIndex(const char* path, int keyField);
    ~CNameIndex();
    CNameIndex(const CNameIndex&) = delete;
    CNameIndex& operator=(const CNameIndex&) = delete;

    // key: a complete index key, NUL-terminated within keyField bytes.
    // Yields first = -1 and count = 0 when the key is absent.
    void Lookup(const char* key, std::int32_t& first, std::int32_t& count);

    // Finishes an index this object created (header and signature byte) and
    // closes the stream; does nothing more on later calls.
    void Close();

    // Internal steps of Lookup, open for tests.
    // Fills page from the root cache or the file; false for an offset of -1
    // or a page that cannot be read whole or whose count is outside 1..4.
    bool ReadPage(std::int32_t offset, Page& page);
    // Position 0..n of the first entry whose key is not smaller than key.
    static int FindSlot(const char* key, const Entry* entries, int n);

    int KeyField() const { return keyField_; }
    int EntrySize() const { return disk_format::IndexEntrySize(keyField_); }
    int PageSize() const { return disk_format::IndexPageSize(keyField_); }
    std::int32_t RootOffset() const { return root_; }
    bool Created() const { return created_; }
    // Pages read from the file (not from the root cache) since construction.
    long PagesReadFromFile() const { return pagesRead_; }

private:
    bool DecodePage(const unsigned char* bytes, Page& page) const;
    void ReportDamage();

    int keyField_;
    std::int32_t root_ = -1;
    std::int32_t spare_ = -1;
    Page rootCache_{};
    CFileStream stream_;
    std::int64_t fileSize_ = 0;
    bool created_ = false;
    long pagesRead_ = 0;
};
