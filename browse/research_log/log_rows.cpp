#include "browse/research_log/log_rows.h"

#include <cstdint>
#include <limits>
#include <utility>

#include "browse/research_log/disk_identity.h"
#include "browse/research_log/log_time.h"
#include "browse/research_log/sqlite_link.h"
#include "store/catalogue.h"
#include "store/cp1252.h"
#include "store/disk_format.h"

namespace research_log {
namespace log_rows {
namespace {

constexpr std::size_t kMaxProgram = 40;
constexpr std::size_t kMaxStem = 16;
constexpr std::size_t kMaxOptionWord = 20;
constexpr std::size_t kMaxAskedText = 6 * kMaxAskedPart;

// A text column as Windows-1252, within maxBytes once converted.
bool TextOf(const CSqliteStatement& row, int column, std::size_t maxBytes, std::string& out) {
    out.clear();
    if (!row.IsText(column)) return false;
    const std::string utf8 = row.Text(column);
    // UTF-8 takes at most three bytes for a character Windows-1252 writes.
    if (utf8.size() > 3 * maxBytes) return false;
    return cp1252::FromUtf8(utf8, out) && IsKeepable(out, maxBytes);
}

bool IntegerOf(const CSqliteStatement& row, int column, std::int64_t low, std::int64_t high,
               std::int64_t& out) {
    if (!row.IsInteger(column)) return false;
    out = row.Integer(column);
    return out >= low && out <= high;
}

bool TimeOf(const CSqliteStatement& row, int column, std::string& out) {
    return TextOf(row, column, 32, out) && IsLogTime(out);
}

bool KindOf(const std::string& name, SearchKind& kind) {
    for (SearchKind known : {SearchKind::Surname, SearchKind::List, SearchKind::Find}) {
        if (name == KindName(known)) {
            kind = known;
            return true;
        }
    }
    return false;
}

bool OptionsOf(const std::string& text, std::vector<std::string>& words) {
    words.clear();
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(at, end - at);
        if (!IsOptionWord(word)) return false;
        words.push_back(word);
        at = end + 1;
        if (end < text.size() && at == text.size()) return false;  // a blank at the end
    }
    return true;
}

// A record of a pair from its columns: database, entry, surname, given names, summary.
bool RecordOf(const CSqliteStatement& row, int first, PersonOnDisk& person) {
    std::string stem;
    std::int64_t entry = 0;
    if (!TextOf(row, first, kMaxStem, stem) ||
        !IntegerOf(row, first + 1, 0, std::numeric_limits<std::int32_t>::max(), entry) ||
        !TextOf(row, first + 2, disk_format::kMaxKeySurname, person.surname) || person.surname.empty() ||
        !TextOf(row, first + 3, disk_format::kGivenNamesSize - 1, person.givenNames) ||
        !TextOf(row, first + 4, kMaxSummary, person.summary)) {
        return false;
    }
    person.code = catalogue::CodeOfStem(stem.c_str());
    person.entry = static_cast<std::int32_t>(entry);
    return person.code != 0;
}

// The disk of a row from its fingerprint, name and version columns.
bool DiskOf(const CSqliteStatement& row, int first, DiskIdentity& disk) {
    if (!TextOf(row, first, kFingerprintLength, disk.fingerprint) || !IsFingerprint(disk.fingerprint))
        return false;
    // A disk row lost by hand leaves the fingerprint, which is what tells
    // the disk; only its label is then unknown.
    disk.label.name.clear();
    if (!row.IsNull(first + 1) && !TextOf(row, first + 1, disk_label::kMaxLabelText, disk.label.name))
        return false;
    return row.IsNull(first + 2) || TextOf(row, first + 2, disk_label::kMaxLabelText, disk.label.version);
}

}  // namespace

bool IsKeepable(std::string_view windows1252, std::size_t maxBytes) {
    if (windows1252.size() > maxBytes) return false;
    for (char c : windows1252) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
    }
    return true;
}

bool IsOptionWord(std::string_view word) {
    if (word.empty() || word.size() > kMaxOptionWord) return false;
    for (char c : word) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
    }
    return true;
}

std::string JoinOptions(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

bool ReadSearch(const CSqliteStatement& row, LoggedSearch& search) {
    search = LoggedSearch{};
    AskedSearch& asked = search.asked;
    std::string kind;
    std::string options;
    std::int64_t yearFrom = 0;
    std::int64_t yearTo = 0;
    if (!IntegerOf(row, 0, 1, std::numeric_limits<std::int64_t>::max(), search.id) ||
        !TimeOf(row, 1, search.time) || !TextOf(row, 2, kMaxProgram, search.program) ||
        search.program.empty() || !TextOf(row, 3, kMaxStem, asked.database) ||
        !TextOf(row, 4, kMaxOptionWord, kind) || !KindOf(kind, asked.kind) ||
        !TextOf(row, 5, kMaxAskedPart, asked.surname) || !TextOf(row, 7, kMaxAskedPart, options) ||
        !OptionsOf(options, asked.options) || !TextOf(row, 8, kMaxAskedPart, asked.query) ||
        !TextOf(row, 9, kMaxAskedPart, asked.field) || !IntegerOf(row, 10, 0, 9999, yearFrom) ||
        !IntegerOf(row, 11, 0, 9999, yearTo) || !TextOf(row, 12, kMaxAskedText, search.askedText) ||
        !IntegerOf(row, 13, 0, std::numeric_limits<std::int64_t>::max(), search.count)) {
        return false;
    }
    if (asked.database != kAllDatabases && catalogue::CodeOfStem(asked.database.c_str()) == 0) return false;
    asked.hasFirstName = !row.IsNull(6);
    if (asked.hasFirstName && !TextOf(row, 6, kMaxAskedPart, asked.firstName)) return false;
    asked.yearFrom = static_cast<int>(yearFrom);
    asked.yearTo = static_cast<int>(yearTo);
    return true;
}

bool ReadSaved(const CSqliteStatement& row, SavedPerson& out) {
    // Filled apart and moved at the end: the caller's value is untouched
    // by a damaged row.
    SavedPerson saved;
    PersonOnDisk& person = saved.person;
    std::string stem;
    std::int64_t entry = 0;
    if (!IntegerOf(row, 0, 1, std::numeric_limits<std::int64_t>::max(), saved.id) ||
        !TimeOf(row, 1, saved.time) || !TextOf(row, 2, kMaxStem, stem) ||
        !IntegerOf(row, 3, 0, std::numeric_limits<std::int32_t>::max(), entry) ||
        !TextOf(row, 4, disk_format::kMaxKeySurname, person.surname) || person.surname.empty() ||
        !TextOf(row, 5, disk_format::kGivenNamesSize - 1, person.givenNames) ||
        !TextOf(row, 6, kMaxSummary, person.summary) || !TextOf(row, 7, kMaxNote, saved.note) ||
        !DiskOf(row, 8, saved.disk)) {
        return false;
    }
    person.code = catalogue::CodeOfStem(stem.c_str());
    if (person.code == 0) return false;
    person.entry = static_cast<std::int32_t>(entry);
    out = std::move(saved);
    return true;
}

bool ReadVerdict(const CSqliteStatement& row, PairVerdict& out) {
    PairVerdict verdict;
    std::string sameness;
    if (!IntegerOf(row, 0, 1, std::numeric_limits<std::int64_t>::max(), verdict.id) ||
        !TimeOf(row, 1, verdict.time) || !TextOf(row, 2, kMaxOptionWord, sameness) ||
        !RecordOf(row, 3, verdict.first) || !RecordOf(row, 8, verdict.second) ||
        !TextOf(row, 13, kMaxNote, verdict.note) || !DiskOf(row, 14, verdict.disk)) {
        return false;
    }
    if (sameness == SamenessName(Sameness::Same)) {
        verdict.sameness = Sameness::Same;
    } else if (sameness == SamenessName(Sameness::NotSame)) {
        verdict.sameness = Sameness::NotSame;
    } else {
        return false;
    }
    // A pair out of its order, or of one record, was not written by the log.
    const PersonPlace first{verdict.first.code, verdict.first.entry};
    const PersonPlace second{verdict.second.code, verdict.second.entry};
    if (!PairOrder(first, second)) return false;
    out = std::move(verdict);
    return true;
}

}  // namespace log_rows
}  // namespace research_log
