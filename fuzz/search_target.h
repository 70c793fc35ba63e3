#pragma once
// Fuzz target of a whole search: arbitrary .cor and .ext bytes behind a
// well-formed index, for every database code, through the record database
// and the result pager as the view drives them.
//
// Input: code byte (1 + b % 14), flags byte (bit 0 large text, bit 1 first
// name, bit 2 search through the combo row where the code has one, bit 3
// name variants), the
// index entry's first and count (int32 each), the surname (up to 19
// characters), the first name (up to 255), the page commands (up to 24
// bytes: N next, P previous, S search again, L switch the page size, R
// reset, G the family-tree file and the rows' citations; other bytes are
// ignored), the .cor file (two-byte length), then the .ext file.
//
// After the search and after every command, the summary, row text and full
// text of every row are built. Promises checked: no crash, hang or
// out-of-bounds access; counts never negative; rows within the page; texts
// within their buffers; no exit at all (the index is well formed); the three
// database files unchanged and nothing but history.buf written.

#include <cstdint>
#include <cstring>
#include <string>

#include "browse/export/citation.h"
#include "browse/export/gedcom_writer.h"
#include "browse/session/search_session.h"
#include "fuzz/fuzz_support.h"
#include "store/catalogue.h"
#include "store/data_disk.h"
#include "store/directories.h"
#include "store/index_key.h"
#include "store/name_index.h"

namespace fuzz_targets {

inline constexpr std::size_t kMaxPageCommands = 24;

// A one-page index that maps key to (first, count).
inline std::string OneKeyIndex(int code, const char* key, std::int32_t first, std::int32_t count) {
    fuzz_support::ByteWriter tre;
    const auto keyField = static_cast<std::size_t>(catalogue::KeyFieldWidth(code));
    tre.Int32(8).Int32(-1);
    tre.Int32(1);
    for (int i = 0; i < CNameIndex::kEntriesPerPage; ++i) {
        std::string field(keyField, '\0');
        if (i == 0) {
            tre.Int32(first).Int32(count);
            field.replace(0, std::strlen(key), key);
        } else {
            tre.Int32(0).Int32(0);
        }
        tre.Raw(field.substr(0, keyField));
    }
    for (int i = 0; i <= CNameIndex::kEntriesPerPage; ++i) tre.Int32(-1);
    tre.Byte(CNameIndex::kSignature);
    return tre.Bytes();
}

// Every row of the page as the view and More Info show it.
inline void CheckPage(CResultPager& pager) {
    using fuzz_support::Check;
    Check(pager.RecordCount() >= 0, "negative record count");
    const std::int32_t rows = pager.RowsOnPage();
    // The page size may change under a page already read (as the view's font can).
    Check(rows <= CResultPager::kMaxRows, "more rows than the page holds");
    pager.HasNext();
    pager.HasPrev();
    for (int i = -1; i <= rows; ++i) {
        char text[CResultPager::kRowTextSize];
        pager.FormatRow(i, text);
        Check(std::memchr(text, '\0', sizeof text) != nullptr, "row text without its NUL");
        const char* full = pager.GetFullText(i).text;
        Check(full != nullptr, "GetFullText returned null");
        Check(std::memchr(full, '\0', CResultPager::kFullTextSize) != nullptr, "full text without its NUL");
        if (i < 0 || i >= rows) {
            Check(text[0] == '\0' && full[0] == '\0', "a row off the page has text");
            continue;
        }
        const PageRow& row = pager.Row(i);
        Check(std::memchr(row.summary, '\0', sizeof row.summary) != nullptr, "summary without its NUL");
        Check(std::memchr(row.givenNames, '\0', sizeof row.givenNames) != nullptr,
              "given names without their NUL");
    }
}

// Every person found as a family-tree file, and the citation of every row:
// whatever the records hold, no line over 255 bytes, the trailer last.
inline void CheckFamilyTree(CSearchSession& session) {
    using fuzz_support::Check;
    CitationContext context;
    context.date = CalendarDate{2026, 1, 9};
    std::string file;
    CGedcomWriter writer(context, [&file](const std::string& piece) {
        file += piece;
        return true;
    });
    session.ForEachPerson([&writer](const FoundPerson& person) { return writer.Add(person); });
    Check(writer.Finish(), "the family-tree file was not finished");
    for (std::size_t at = 0, end; at < file.size(); at = end + 2) {
        end = file.find("\r\n", at);
        Check(end != std::string::npos && end - at <= CGedcomWriter::kMaxLine, "a line over 255 bytes");
    }
    Check(file.size() >= 8 && file.compare(file.size() - 8, 8, "0 TRLR\r\n") == 0, "the trailer is not last");
    for (int i = 0; i < session.RowsOnPage(); ++i) {
        FoundPerson person;
        if (session.PersonOfRow(i, person).Done()) citation::Of(person, context);
    }
}

inline int RunSearch(const std::uint8_t* data, std::size_t size, const std::string& folder) {
    using namespace fuzz_support;
    ByteReader input(data, size);
    const int code = catalogue::kFirstCode + input.Byte() % catalogue::kLastCode;
    const std::uint8_t flags = input.Byte();
    const std::int32_t first = input.Int32();
    const std::int32_t count = input.Int32();
    const std::string surname = input.Text(CRecordDatabase::kMaxSurname);
    const std::string firstName = input.Text(CSearchQuery::kMaxText);
    const std::string commands = input.Text(kMaxPageCommands);
    const std::string cor = input.Blob();
    const std::string ext = input.Rest();

    // The index holds the key the search will form from the surname.
    char key[kMaxKeySurname + 1] = {};
    std::strncpy(key, surname.c_str(), CRecordDatabase::kMaxSurname);
    MakeIndexKey(code, key);
    const std::string tre = OneKeyIndex(code, key, first, count);

    const std::string base = folder + "/" + catalogue::StemOf(code);
    if (!WriteFile(folder + "/" + kMarkerFileName, "") || !WriteFile(base + ".ext", ext) ||
        !WriteFile(base + ".cor", cor) || !WriteFile(base + ".tre", tre)) {
        Fail("cannot write the database files");
    }

    const int row = (flags & 4) != 0 ? catalogue::RowOfCode(code) : -1;

    QuietServices services;
    try {
        CDirectories dirs;
        dirs.SetDataDir(folder.c_str());
        dirs.SetInstallDir(folder.c_str());
        CSearchSession session(dirs);
        CResultPager& pager = session.Pager();
        session.SetPageSize((flags & 1) != 0);
        session.SetNameVariants((flags & 8) != 0);

        auto search = [&] {
            const char* typedFirst = (flags & 2) != 0 ? firstName.c_str() : nullptr;
            const SearchOutcome outcome = row >= 0 ? session.Search(row, surname.c_str(), typedFirst)
                                                   : session.SearchCode(code, surname.c_str(), typedFirst);
            Check(!outcome.EndsProgram(), "a search behind a well-formed index ended the program");
        };
        search();
        CheckPage(pager);
        bool largeText = (flags & 1) != 0;
        for (const char command : commands) {
            switch (command) {
                case 'N':
                    session.TurnPage(true);
                    break;
                case 'P':
                    session.TurnPage(false);
                    break;
                case 'S':
                    search();
                    break;
                case 'L':
                    largeText = !largeText;
                    session.SetPageSize(largeText);
                    break;
                case 'R':
                    session.Reset();
                    break;
                case 'G':
                    CheckFamilyTree(session);
                    break;
                default:
                    continue;
            }
            CheckPage(pager);
        }
        session.Close();
    } catch (const ProcessExit&) {
        Fail("a search behind a well-formed index ended the process");
    }

    std::string after;
    Check(ReadFile(base + ".ext", after) && after == ext, "the .ext file was changed");
    Check(ReadFile(base + ".cor", after) && after == cor, "the .cor file was changed");
    Check(ReadFile(base + ".tre", after) && after == tre, "the .tre file was changed");
    for (const std::string& name : ListFolder(folder)) {
        const bool known = name == kMarkerFileName || name == disk_format::kHistoryFileName ||
                           name.compare(0, name.find('.'), catalogue::StemOf(code)) == 0;
        Check(known, "a file other than history.buf was written");
    }
    std::remove((base + ".ext").c_str());
    std::remove((base + ".cor").c_str());
    std::remove((base + ".tre").c_str());
    return 0;
}

}  // namespace fuzz_targets
