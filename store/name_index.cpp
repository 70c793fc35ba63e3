#include "store/name_index.h"

#include <cstring>

#include "platform/message_box.h"
#include "platform/process_exit.h"

namespace {

constexpr const char kWrongFormat[] = "wrong file format!";

void ShowWrongFormat() {
    platform::ShowMessageBox(kWrongFormat, platform::kAppTitle, platform::MessageButtons::Ok,
                             platform::MessageIcon::Exclamation);
}

}  // namespace

CNameIndex::CNameIndex(const char* path, int keyField)
    : keyField_(keyField == disk_format::kLongKeyField ? disk_format::kLongKeyField
                                                       : disk_format::kShortKeyField) {
    // Probe in text mode: an index that is not there is created empty.
    std::FILE* probe = std::fopen(path, "r");
    if (probe == nullptr) {
        if (stream_.Open(path, "w+b")) {
            created_ = true;
            stream_.WriteInt32(root_);
            stream_.WriteInt32(spare_);
        }
        // A file that cannot be created gives an empty index whose Close does nothing.
        return;
    }
    std::fclose(probe);

    unsigned char signature = 0;
    bool readable = stream_.Open(path, "rb") && stream_.SeekEnd() &&
                    (fileSize_ = stream_.Tell()) >= kHeaderSize + 1 && stream_.Seek(fileSize_ - 1) &&
                    stream_.ReadExact(&signature, 1) && stream_.Seek(0) && stream_.ReadInt32(root_) &&
                    stream_.ReadInt32(spare_);
    if (!readable || signature != kSignature) {
        ShowWrongFormat();
        stream_.Close();
        platform::ExitProcess(1);
    }

    rootCache_.count = 0;
    Page root{};
    if (root_ != -1 && ReadPage(root_, root)) rootCache_ = root;
}

CNameIndex::~CNameIndex() { Close(); }

bool CNameIndex::DecodePage(const unsigned char* bytes, Page& page) const {
    page.count = LoadInt32(bytes);
    if (page.count < 1 || page.count > kEntriesPerPage) return false;
    const unsigned char* cursor = bytes + 4;
    for (int i = 0; i < kEntriesPerPage; ++i) {
        Entry& entry = page.entries[i];
        entry.first = LoadInt32(cursor);
        entry.count = LoadInt32(cursor + 4);
        std::memcpy(entry.key, cursor + 8, static_cast<std::size_t>(keyField_));
        // The text ends inside the field; a field without its NUL is cut
        // to the longest key the field can hold.
        entry.key[keyField_ - 1] = '\0';
        cursor += EntrySize();
    }
    for (int i = 0; i <= kEntriesPerPage; ++i) {
        page.children[i] = LoadInt32(cursor);
        cursor += 4;
    }
    return true;
}

bool CNameIndex::ReadPage(std::int32_t offset, Page& page) {
    if (offset == -1) return false;
    if (offset == root_ && rootCache_.count > 0) {
        page = rootCache_;
        return true;
    }
    // Pages lie between the header and the signature byte.
    const std::int64_t pageSize = PageSize();
    if (!stream_.IsOpen() || offset < kHeaderSize || offset + pageSize > fileSize_ - 1) return false;
    unsigned char bytes[disk_format::kMaxIndexPageSize];
    if (!stream_.Seek(offset) || !stream_.ReadExact(bytes, static_cast<std::size_t>(pageSize))) {
        return false;
    }
    ++pagesRead_;
    return DecodePage(bytes, page);
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

void CNameIndex::Lookup(const char* key, std::int32_t& first, std::int32_t& count) {
    first = -1;
    count = 0;
    char searched[kMaxKeyField + 1];
    std::strncpy(searched, key, static_cast<std::size_t>(keyField_));
    searched[keyField_ - 1] = '\0';

    // A valid path visits each page at most once, so more steps than there
    // are pages in the file means the child offsets loop.
    const std::int64_t maxSteps = fileSize_ > kHeaderSize ? (fileSize_ - kHeaderSize) / PageSize() + 1 : 1;
    std::int64_t steps = 0;
    std::int32_t offset = root_;
    Page page{};
    while (offset != -1) {
        if (++steps > maxSteps || !ReadPage(offset, page)) {
            ReportDamage();
            first = -1;
            count = 0;
            return;
        }
        int slot = FindSlot(searched, page.entries, page.count);
        if (slot < page.count && std::strcmp(searched, page.entries[slot].key) == 0) {
            first = page.entries[slot].first;
            count = page.entries[slot].count;
            return;
        }
        offset = page.children[slot];
    }
}

void CNameIndex::ReportDamage() { ShowWrongFormat(); }

void CNameIndex::Close() {
    if (!stream_.IsOpen()) return;
    if (created_) {
        unsigned char last = 0;
        stream_.Seek(0);
        stream_.WriteInt32(root_);
        stream_.WriteInt32(spare_);
        stream_.Flush();
        bool hasSignature = stream_.SeekEnd(-1) && stream_.ReadExact(&last, 1) && last == kSignature;
        if (!hasSignature && stream_.SeekEnd()) stream_.Write(&kSignature, 1);
    }
    stream_.Close();
}
