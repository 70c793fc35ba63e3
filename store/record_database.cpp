#include "store/record_database.h"

#include <cstdio>
#include <cstring>

#include "browse/result_pager.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/directories.h"
#include "store/index_key.h"
#include "store/name_index.h"
#include "store/path_buffer.h"
#include "store/search_query.h"

namespace {

void ShowOk(const char* text) {
    platform::ShowMessageBox(text, platform::kAppTitle, platform::MessageButtons::Ok,
                             platform::MessageIcon::Exclamation);
}

}  // namespace

CRecordDatabase::CRecordDatabase(const CDirectories& dirs) : dirs_(dirs) {}

CRecordDatabase::~CRecordDatabase() { Close(); }

bool CRecordDatabase::CheckDataDisk() { return ::CheckDataDisk(dirs_); }

bool CRecordDatabase::Open(int row) {
    Close();
    const int code = catalogue::CodeOfRow(row);
    if (code == 0) return false;
    return OpenFiles(code);
}

bool CRecordDatabase::OpenCode(int code) {
    Close();
    if (catalogue::StemOf(code) == nullptr) return false;
    return OpenFiles(code);
}

bool CRecordDatabase::OpenFiles(int code) {
    code_ = code;
    char base[kPathSize];
    char path[kPathSize];
    if (!dirs_.DataDirFits() || !FormatPath(base, "%s%s", dirs_.DataDir(), catalogue::StemOf(code)) ||
        !FormatPath(path, "%s.ext", base)) {
        ShowOk("The data directory path is too long.");
        return false;
    }
    if (!recordStream_.Open(path, "rb", kRecordStreamBuffer)) {
        ShowOk("ext");
        return false;
    }
    if (!FormatPath(path, "%s.cor", base) || !entryStream_.Open(path, "rb", kEntryStreamBuffer)) {
        ShowOk("cor");
        return false;
    }
    if (!FormatPath(path, "%s.tre", base)) {
        ShowOk("The data directory path is too long.");
        return false;
    }
    index_ = std::make_unique<CNameIndex>(path, catalogue::KeyFieldWidth(code));

    // The name width sits in the last 4 bytes; a width the 256-byte buffers
    // cannot hold means the file is not an entry file of ours.
    std::int32_t width = 0;
    const bool widthRead = entryStream_.SeekEnd(-4) && entryStream_.ReadInt32(width);
    if (!widthRead || width < 1 || width > kMaxNameWidth) {
        char message[320];
        std::snprintf(message, sizeof message,
                      "The entry file %.200s.cor is damaged: its name width must be 1 to 255.",
                      catalogue::StemOf(code));
        ShowOk(message);
        Close();
        return false;
    }
    nameWidth_ = width;
    entrySize_ = width + 4;
    return true;
}

void CRecordDatabase::MakeKey(char* text) const { MakeIndexKey(code_, text); }

bool CRecordDatabase::Search(CSearchQuery& query) {
    return RunSearch(query, catalogue::CodeOfRow(query.DatabaseRow()));
}

bool CRecordDatabase::SearchCode(CSearchQuery& query, int code) { return RunSearch(query, code); }

bool CRecordDatabase::RunSearch(CSearchQuery& query, int code) {
    if (pager_ != nullptr) pager_->Reset();
    // The key field holds at most 19 characters with short keys; a longer
    // surname cannot be looked up, so it is refused before anything is opened.
    if (std::strlen(query.Surname()) > kMaxSurname) {
        query.ReportError("last name is too long");
        return false;
    }
    if (!CheckDataDisk() || !OpenCode(code)) return false;

    char key[kMaxKeySurname + 1];
    std::snprintf(key, sizeof key, "%s", query.Surname());
    MakeKey(key);
    char searchEntry[CNameIndex::kMaxKeyField] = {};
    std::memcpy(searchEntry, key, std::strlen(key) + 1);  // at most 22 + NUL after MakeKey
    std::int32_t first = -1;
    std::int32_t count = 0;
    index_->Lookup(searchEntry, first, count);
    if (first == -1 || pager_ == nullptr) return false;

    // A damaged index may name entries the .cor file does not hold: the
    // range is cut to the entries that are there, so that neither the count
    // nor the first-name scan runs over entries that do not exist (a count
    // near 2^31 would keep the scan busy for hours).
    std::int64_t held = 0;
    if (entryStream_.SeekEnd() && entryStream_.Tell() >= 4) held = (entryStream_.Tell() - 4) / entrySize_;
    const std::int64_t end = static_cast<std::int64_t>(first) + (count > 0 ? count : 0);
    if (first < 0 || end > held) {
        char message[320];
        std::snprintf(message, sizeof message,
                      "The index %.200s.tre names entries that the entry file does not hold; "
                      "only those it holds are shown.",
                      catalogue::StemOf(code));
        ShowOk(message);
        if (first < 0 || first >= held) {
            first = 0;
            count = 0;
        } else {
            count = static_cast<std::int32_t>(held - first);
        }
    }

    pager_->SetRange(first, count);
    pager_->SetSurname(query.Surname());
    if (query.HasFirstName()) return pager_->FilterByFirstName(query.FirstName());
    return pager_->ListRange();
}

void CRecordDatabase::ReadEntry(std::int32_t i) {
    if (!entryStream_.IsOpen() || i < 0) return;
    const std::int64_t position = static_cast<std::int64_t>(i) * entrySize_;
    if (!entryStream_.Seek(position)) return;
    // Read straight into the fields (the host is little-endian, as the file):
    // bytes past the end of the file leave the field's bytes as they were.
    entryStream_.ReadSome(&recordOffset_, sizeof recordOffset_);
    entryStream_.ReadSome(givenNames_, static_cast<std::size_t>(nameWidth_));
    // Bytes past the width are never part of the text: a field without its
    // NUL ends at the width (255 at most, so the buffer's last byte stays NUL).
    givenNames_[nameWidth_] = '\0';
}

void CRecordDatabase::ReadRecord(std::int32_t offset, char* out) {
    std::size_t stored = 0;
    if (recordStream_.IsOpen() && offset >= 0 && recordStream_.Seek(offset)) {
        // Room for the NUL: a record over 4999 bytes is cut at the buffer.
        while (stored < kRecordBufferSize - 1) {
            const int byte = recordStream_.GetByte();
            if (byte < 0) break;
            out[stored++] = static_cast<char>(byte);
            if (byte == '\n') break;
        }
    }
    out[stored] = '\0';
}

void CRecordDatabase::Close() {
    if (index_ != nullptr) {
        index_->Close();
        index_.reset();
    }
    recordStream_.Close();
    entryStream_.Close();
}
