#include "browse/record_query/people_reader.h"

#include <algorithm>
#include <cstring>

#include "store/int32_bytes.h"
#include "store/record_database.h"

namespace {

// Entries read at once: about 1 MB of the widest entries.
constexpr std::int32_t kEntriesAtOnce = 4096;

}  // namespace

CPeopleReader::CPeopleReader(CRecordDatabase& database, const CPeopleList& people)
    : database_(database), people_(people) {}

bool CPeopleReader::FillEntries() {
    // Runs follow one another in the entry file: one read serves many of them.
    const PeopleRun& run = people_.runs[run_];
    const std::int32_t first = run.first + inRun_;
    const std::int64_t held = database_.EntriesHeld();
    const std::int64_t left = held > first ? held - first : 0;
    const auto count =
        static_cast<std::int32_t>(std::min<std::int64_t>(std::max<std::int64_t>(left, 1), kEntriesAtOnce));
    entries_.resize(static_cast<std::size_t>(count) * static_cast<std::size_t>(database_.EntrySize()));
    error_ = database_.ReadEntryBytes(first, count, entries_.data());
    if (error_.Failed()) return false;
    entriesFirst_ = first;
    entriesCount_ = count;
    return true;
}

bool CPeopleReader::Next(ReadPerson& person) {
    if (error_.Failed()) return false;
    while (run_ < people_.runs.size() && inRun_ >= people_.runs[run_].count) {
        ++run_;
        inRun_ = 0;
    }
    if (run_ >= people_.runs.size()) return false;
    const PeopleRun& run = people_.runs[run_];
    const std::int32_t entry = run.first + inRun_;
    if (entry < entriesFirst_ || entry >= entriesFirst_ + entriesCount_) {
        if (!FillEntries()) return false;
    }
    const char* bytes = entries_.data() + static_cast<std::size_t>(entry - entriesFirst_) *
                                              static_cast<std::size_t>(database_.EntrySize());
    const std::int32_t offset = LoadInt32(reinterpret_cast<const unsigned char*>(bytes));
    const auto width = static_cast<std::size_t>(database_.NameWidth());
    std::memcpy(givenNames_, bytes + disk_format::kEntryOffsetSize, width);
    givenNames_[width] = '\0';
    std::size_t stored = 0;
    error_ = database_.ReadRecordAhead(offset, record_, &stored);
    if (error_.Failed()) return false;
    person.entry = entry;
    person.surname = people_.surnames[run.surname];
    person.givenNames = std::string_view(givenNames_, std::strlen(givenNames_));
    person.record = record_;
    person.recordLength = strnlen(record_, stored);
    ++inRun_;
    ++done_;
    return true;
}
