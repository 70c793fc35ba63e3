#include "store/name_index.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "store/int32_bytes.h"

void CNameIndex::Cache::Start(const FileIdentity& file, int keyField, std::int32_t root) {
    pages_.clear();
    valid_ = true;
    file_ = file;
    keyField_ = keyField;
    root_ = root;
}

const CNameIndex::Page* CNameIndex::Cache::Find(std::int32_t offset) const {
    const auto found = pages_.find(offset);
    return found != pages_.end() ? &found->second : nullptr;
}

void CNameIndex::Cache::Keep(std::int32_t offset, const Page& page) {
    if (pages_.size() < kMaxPages) pages_.emplace(offset, page);
}

CNameIndex::CNameIndex(int keyField, Cache* cache)
    : keyField_(keyField == disk_format::kLongKeyField ? disk_format::kLongKeyField
                                                       : disk_format::kShortKeyField),
      ownCache_(cache == nullptr ? std::make_unique<Cache>() : nullptr),
      cache_(cache != nullptr ? cache : ownCache_.get()) {}

CNameIndex::~CNameIndex() { Close(); }

StoreError CNameIndex::ReadFailure() {
    return StoreError::Of(StoreErrorKind::ReadFailed, name_, file_.Error());
}

StoreError CNameIndex::Damage() const { return StoreError::Of(StoreErrorKind::DamagedIndex, name_); }

StoreError CNameIndex::ReadHeader(std::int32_t& root) {
    unsigned char header[kHeaderSize];
    std::size_t got = 0;
    if (!file_.ReadAt(0, header, sizeof header, got)) return ReadFailure();
    // The second header field is spare: written, never read.
    root = LoadInt32(header);
    return StoreError{};
}

StoreError CNameIndex::Open(const std::string& path, const std::string& name, int folder) {
    name_ = name;
    switch (file_.OpenOrKeep(path, folder, name.c_str())) {
        case CDataFile::OpenOutcome::Opened:
            break;
        case CDataFile::OpenOutcome::Missing:
            return StoreError::Of(StoreErrorKind::IndexMissing, name_, ENOENT);
        case CDataFile::OpenOutcome::NotAFile:
            return StoreError::Of(StoreErrorKind::BadIndexSignature, name_);
        case CDataFile::OpenOutcome::Failed:
            return StoreError::Of(StoreErrorKind::OpenFailed, name_, file_.Error());
    }
    // A device has no end to hold a signature; a file under nine bytes has
    // no room for the header and the signature byte.
    const std::int64_t size = file_.Size();
    if (size < kHeaderSize + disk_format::kSignatureSize) {
        Close();
        return StoreError::Of(StoreErrorKind::BadIndexSignature, name_);
    }
    // The same file, unchanged (the same file on the same device, of the
    // same size and times): its signature was checked, and its header and
    // upper pages are kept.
    if (cache_->Holds(file_.Identity(), keyField_)) return StoreError{};
    cache_->Clear();
    unsigned char signature = 0;
    std::size_t got = 0;
    if (!file_.ReadAt(size - 1, &signature, 1, got)) return ReadFailure();
    if (signature != kSignature) {
        Close();
        return StoreError::Of(StoreErrorKind::BadIndexSignature, name_);
    }
    std::int32_t root = -1;
    StoreError error = ReadHeader(root);
    if (error.Failed()) return error;
    cache_->Start(file_.Identity(), keyField_, root);
    if (root == disk_format::kNoPage) return StoreError{};
    // The root stays in memory from the open on, as every lookup starts there.
    Page page{};
    error = ReadPage(root, page);
    if (error.kind == StoreErrorKind::ReadFailed) {
        cache_->Clear();
        return error;
    }
    // A damaged root is reported by the lookup that needs it.
    return StoreError{};
}

bool CNameIndex::DecodePage(const unsigned char* bytes, Page& page) const {
    page.count = LoadInt32(bytes);
    if (page.count < 1 || page.count > kEntriesPerPage) return false;
    const unsigned char* cursor = bytes + 4;
    for (int i = 0; i < kEntriesPerPage; ++i) {
        Entry& entry = page.entries[i];
        entry.first = LoadInt32(cursor);
        entry.count = LoadInt32(cursor + 4);
        std::memcpy(entry.key, cursor + disk_format::kIndexEntryFixedSize,
                    static_cast<std::size_t>(keyField_));
        // The text ends inside the field; a field without its NUL is cut
        // to the longest key the field can hold.
        entry.key[keyField_ - 1] = '\0';
        cursor += EntrySize();
    }
    for (int i = 0; i < disk_format::kChildrenPerPage; ++i) {
        page.children[i] = LoadInt32(cursor);
        cursor += 4;
    }
    return true;
}

StoreError CNameIndex::ReadPage(std::int32_t offset, Page& page) {
    const Page* found = nullptr;
    StoreError error = LoadPage(offset, page, found);
    if (!error.Failed() && found != &page) page = *found;
    return error;
}

StoreError CNameIndex::LoadPage(std::int32_t offset, Page& buffer, const Page*& found) {
    if (const Page* kept = cache_->Find(offset)) {
        found = kept;
        return StoreError{};
    }
    Page& page = buffer;
    found = &buffer;
    // Pages lie between the header and the signature byte.
    const std::int64_t pageSize = PageSize();
    if (!file_.IsOpen() || offset < kHeaderSize ||
        offset + pageSize > file_.Size() - disk_format::kSignatureSize) {
        return Damage();
    }
    unsigned char bytes[disk_format::kMaxIndexPageSize];
    std::size_t got = 0;
    if (!file_.ReadAt(offset, bytes, static_cast<std::size_t>(pageSize), got)) return ReadFailure();
    ++pagesRead_;
    if (!DecodePage(bytes, page)) return Damage();
    // The root, and the pages above the leaves, are kept for the next lookups.
    bool inner = offset == cache_->Root();
    for (int i = 0; i <= page.count && !inner; ++i) inner = page.children[i] != disk_format::kNoPage;
    if (inner) cache_->Keep(offset, page);
    return StoreError{};
}

int CNameIndex::FindSlot(const char* key, const Entry* entries, int n) {
    if (std::strcmp(key, entries[0].key) <= 0) return 0;
    if (std::strcmp(key, entries[n - 1].key) > 0) return n;
    int low = 0;
    int high = n - 1;
    while (high - low > 1) {
        int middle = (low + high) / 2;
        if (std::strcmp(key, entries[middle].key) > 0) {
            low = middle;
        } else {
            high = middle;
        }
    }
    return high;
}

StoreError CNameIndex::Lookup(const char* key, std::int32_t& first, std::int32_t& count) {
    first = -1;
    count = 0;
    if (!file_.IsOpen()) return StoreError{};
    char searched[kMaxKeyField + 1];
    std::strncpy(searched, key, static_cast<std::size_t>(keyField_));
    searched[keyField_ - 1] = '\0';

    // A valid path visits each page at most once, so more steps than there
    // are pages in the file means the child offsets loop.
    const std::int64_t size = file_.Size();
    const std::int64_t maxSteps = size > kHeaderSize ? (size - kHeaderSize) / PageSize() + 1 : 1;
    std::int64_t steps = 0;
    std::int32_t offset = cache_->Root();
    Page buffer{};
    while (offset != disk_format::kNoPage) {
        if (++steps > maxSteps) return Damage();
        // Kept pages are used where they are, without a copy.
        const Page* page = nullptr;
        StoreError error = LoadPage(offset, buffer, page);
        if (error.Failed()) return error;
        const int slot = FindSlot(searched, page->entries, page->count);
        if (slot < page->count && std::strcmp(searched, page->entries[slot].key) == 0) {
            first = page->entries[slot].first;
            count = page->entries[slot].count;
            return StoreError{};
        }
        offset = page->children[slot];
    }
    return StoreError{};
}

namespace {

// A page a walk has entered: where its bytes are, in the current run of the
// file or, once the run has moved on, in a copy of its own.
struct WalkFrame {
    WalkFrame() {}  // NOLINT: the copy of a page is filled only when needed
    const unsigned char* page = nullptr;
    unsigned char own[disk_format::kMaxIndexPageSize];
    int count = 0;
    int step = 0;  // even: the child before entry step / 2; odd: entry step / 2
    // The first two bytes of the keys below this page lie between these, both included.
    int low = 0;
    int high = 65535;
};

// The pages of a walk, read in large runs: the writer lays the pages out in
// the order a walk enters them, so the runs follow one another; a page
// behind the run (a file from elsewhere) is read on its own.
class PageRuns {
public:
    // Small enough to stay in the processor's cache while the walk reads it.
    static constexpr std::size_t kRun = 256 * 1024;
    // A run no longer than the file: a small index costs a small buffer.
    PageRuns(CDataFile& file, std::size_t pageSize)
        : file_(file),
          pageSize_(pageSize),
          run_(file.Size() < static_cast<std::int64_t>(kRun) ? static_cast<std::size_t>(file.Size()) : kRun) {
    }
    // Points frame at the page at offset; false when it cannot be read.
    bool Enter(std::int64_t offset, WalkFrame& frame, std::vector<WalkFrame>& stack) {
        std::size_t got = 0;
        const std::int64_t end = start_ + static_cast<std::int64_t>(length_);
        if (offset >= start_ && offset + static_cast<std::int64_t>(pageSize_) <= end) {
            frame.page = run_.data() + (offset - start_);
            return true;
        }
        if (offset < end) {
            frame.page = frame.own;
            return file_.ReadAt(offset, frame.own, pageSize_, got) && got == pageSize_;
        }
        // The run moves on: the pages still open keep their bytes.
        for (WalkFrame& open : stack) {
            if (&open == &frame || open.page == open.own) continue;
            std::memcpy(open.own, open.page, pageSize_);
            open.page = open.own;
        }
        if (!file_.ReadAt(offset, run_.data(), run_.size(), got)) return false;
        start_ = offset;
        length_ = got;
        frame.page = run_.data();
        return got >= pageSize_;
    }

private:
    CDataFile& file_;
    std::size_t pageSize_;
    std::vector<unsigned char> run_;
    std::int64_t start_ = 0;
    std::size_t length_ = 0;
};

}  // namespace

CKeyBeginnings::CKeyBeginnings(const bool* flags) : counts_(65537, 0) {
    for (std::size_t pair = 0; pair + 1 < counts_.size(); ++pair) {
        counts_[pair + 1] = counts_[pair] + (flags[pair] ? 1 : 0);
    }
}

StoreError CNameIndex::WalkKeys(CIndexKeyVisitor& visitor, const CKeyBeginnings* beginnings) {
    const std::int32_t root = cache_->Root();
    if (!file_.IsOpen() || root == disk_format::kNoPage) return StoreError{};
    const std::int64_t size = file_.Size();
    const int pageSize = PageSize();
    const int entrySize = EntrySize();
    const std::int64_t lastPage = size - disk_format::kSignatureSize - pageSize;
    // A valid tree enters each page once and is far shallower than this; a
    // walk that enters more pages than the file holds, or goes deeper, is in
    // a loop.
    const std::int64_t maxPages = size > kHeaderSize ? (size - kHeaderSize) / pageSize + 1 : 1;
    constexpr std::size_t kMaxDepth = 64;
    std::vector<WalkFrame> stack;
    stack.reserve(kMaxDepth);  // frames never move: the runs point into them
    PageRuns runs(file_, static_cast<std::size_t>(pageSize));
    std::int64_t entered = 0;
    bool readFailed = false;
    // Without a choice of beginnings every part of the index is wanted.
    auto anyWanted = [&](int low, int high) {
        if (low > high) return false;
        return beginnings == nullptr || beginnings->AnyIn(low, high);
    };
    auto beginningOf = [](const unsigned char* key) { return key[0] * 256 + (key[0] == 0 ? 0 : key[1]); };
    auto leadOf = [&](const unsigned char* page, int i) {
        return beginningOf(page + 4 + i * entrySize + disk_format::kIndexEntryFixedSize);
    };
    auto enter = [&](std::int32_t offset, int low, int high) {
        if (offset < kHeaderSize || offset > lastPage || ++entered > maxPages || stack.size() >= kMaxDepth) {
            return false;
        }
        stack.emplace_back();
        WalkFrame& frame = stack.back();
        if (!runs.Enter(offset, frame, stack)) {
            readFailed = true;
            return false;
        }
        frame.count = LoadInt32(frame.page);
        frame.step = 0;
        frame.low = low;
        frame.high = high;
        return frame.count >= 1 && frame.count <= kEntriesPerPage;
    };
    auto failure = [&]() { return readFailed ? ReadFailure() : Damage(); };
    if (!enter(root, 0, 65535)) return failure();
    const int childrenAt = disk_format::ChildrenOffset(keyField_);
    while (!stack.empty()) {
        WalkFrame& frame = stack.back();
        if (frame.step > 2 * frame.count) {
            stack.pop_back();
            continue;
        }
        const int step = frame.step++;
        if (step % 2 == 0) {
            const int i = step / 2;
            const std::int32_t child = LoadInt32(frame.page + childrenAt + 4 * i);
            if (child == disk_format::kNoPage) continue;
            // The keys of child i lie between entries i - 1 and i.
            const int low = i == 0 ? frame.low : leadOf(frame.page, i - 1);
            const int high = i == frame.count ? frame.high : leadOf(frame.page, i);
            if (anyWanted(low, high) && !enter(child, low, high)) return failure();
            continue;
        }
        const unsigned char* entry = frame.page + 4 + (step / 2) * entrySize;
        const int lead = beginningOf(entry + disk_format::kIndexEntryFixedSize);
        if (!anyWanted(lead, lead)) continue;
        const char* key = reinterpret_cast<const char*>(entry + disk_format::kIndexEntryFixedSize);
        // A key field without its NUL is cut to the longest key the field holds.
        visitor.Visit(std::string_view(key, strnlen(key, static_cast<std::size_t>(keyField_ - 1))),
                      LoadInt32(entry), LoadInt32(entry + 4));
    }
    return StoreError{};
}

void CNameIndex::Close() { file_.Close(); }
