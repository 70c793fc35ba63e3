#include "store/name_index.h"

#include <cstring>
#include <vector>

#include "store/int32_bytes.h"

void CNameIndex::Cache::Start(const FileIdentity& file, int keyField, std::int32_t root, std::int32_t spare) {
    pages_.clear();
    valid_ = true;
    file_ = file;
    keyField_ = keyField;
    root_ = root;
    spare_ = spare;
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

StoreError CNameIndex::ReadHeader(std::int32_t& root, std::int32_t& spare) {
    unsigned char header[kHeaderSize];
    std::size_t got = 0;
    if (!file_.ReadAt(0, header, sizeof header, got)) return ReadFailure();
    root = LoadInt32(header);
    spare = LoadInt32(header + 4);
    return StoreError{};
}

StoreError CNameIndex::Open(const std::string& path, const std::string& name, int folder) {
    name_ = name;
    switch (file_.OpenOrKeep(path, folder, name.c_str())) {
        case CDataFile::OpenOutcome::Opened:
            break;
        case CDataFile::OpenOutcome::Missing:
            return StoreError::Of(StoreErrorKind::IndexMissing, name_);
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
    std::int32_t root = -1;
    std::int32_t spare = -1;
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
    StoreError error = ReadHeader(root, spare);
    if (error.Failed()) return error;
    cache_->Start(file_.Identity(), keyField_, root, spare);
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
    if (const Page* kept = cache_->Find(offset)) {
        page = *kept;
        return StoreError{};
    }
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
    Page page{};
    while (offset != disk_format::kNoPage) {
        if (++steps > maxSteps) return Damage();
        StoreError error = ReadPage(offset, page);
        if (error.Failed()) return error;
        const int slot = FindSlot(searched, page.entries, page.count);
        if (slot < page.count && std::strcmp(searched, page.entries[slot].key) == 0) {
            first = page.entries[slot].first;
            count = page.entries[slot].count;
            return StoreError{};
        }
        offset = page.children[slot];
    }
    return StoreError{};
}

StoreError CNameIndex::WalkKeys(CIndexKeyVisitor& visitor) {
    const std::int32_t root = cache_->Root();
    if (!file_.IsOpen() || root == disk_format::kNoPage) return StoreError{};
    // The whole file in memory: a walk visits every page, and the writer lays
    // them out in an order a walk reads mostly forward.
    const std::int64_t size = file_.Size();
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    constexpr std::size_t kRun = 1 << 20;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t want = bytes.size() - at < kRun ? bytes.size() - at : kRun;
        std::size_t got = 0;
        if (!file_.ReadAt(static_cast<std::int64_t>(at), bytes.data() + at, want, got)) return ReadFailure();
        at += got;
    }

    const int pageSize = PageSize();
    const int entrySize = EntrySize();
    const std::int64_t lastPage = size - disk_format::kSignatureSize - pageSize;
    // One bit per byte offset: a page met twice means the offsets loop.
    std::vector<std::uint8_t> visited(static_cast<std::size_t>(size / 8 + 1), 0);
    struct Frame {
        const unsigned char* page;
        int count;
        int step;  // even: the child before entry step / 2; odd: entry step / 2
    };
    std::vector<Frame> stack;
    auto enter = [&](std::int32_t offset) {
        if (offset < kHeaderSize || offset > lastPage) return false;
        const auto bit = static_cast<std::size_t>(offset);
        if ((visited[bit / 8] & (1u << (bit % 8))) != 0) return false;
        visited[bit / 8] = static_cast<std::uint8_t>(visited[bit / 8] | (1u << (bit % 8)));
        const unsigned char* page = bytes.data() + offset;
        const std::int32_t count = LoadInt32(page);
        if (count < 1 || count > kEntriesPerPage) return false;
        stack.push_back(Frame{page, count, 0});
        return true;
    };
    if (!enter(root)) return Damage();
    char previous[kMaxKeyField + 1] = {};
    bool first = true;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.step > 2 * frame.count) {
            stack.pop_back();
            continue;
        }
        const int step = frame.step++;
        if (step % 2 == 0) {
            const std::int32_t child =
                LoadInt32(frame.page + disk_format::ChildrenOffset(keyField_) + 4 * (step / 2));
            if (child != disk_format::kNoPage && !enter(child)) return Damage();
            continue;
        }
        const unsigned char* entry = frame.page + 4 + (step / 2) * entrySize;
        const char* key = reinterpret_cast<const char*>(entry + disk_format::kIndexEntryFixedSize);
        // A key field without its NUL is cut to the longest key the field holds.
        const void* nul = std::memchr(key, '\0', static_cast<std::size_t>(keyField_ - 1));
        const std::size_t length = nul != nullptr
                                       ? static_cast<std::size_t>(static_cast<const char*>(nul) - key)
                                       : static_cast<std::size_t>(keyField_ - 1);
        char current[kMaxKeyField + 1];
        std::memcpy(current, key, length);
        current[length] = '\0';
        if (!first && std::strcmp(previous, current) >= 0) return Damage();
        first = false;
        std::memcpy(previous, current, length + 1);
        visitor.Visit(std::string_view(current, length), LoadInt32(entry), LoadInt32(entry + 4));
    }
    return StoreError{};
}

void CNameIndex::Close() { file_.Close(); }
