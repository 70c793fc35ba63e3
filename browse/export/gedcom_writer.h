#pragma once
// The people found as a family-tree file: GEDCOM 5.5.1, lineage-linked,
// UTF-8, CR LF line ends, standard tags alone. One INDI record per person:
// their name as a tree keeps it, with its title, nickname and a married
// woman's birth name (browse/export/person_name.h), their sex where the
// record says it, the events and facts their record states
// (browse/export/person_events.h), each citing the person's source, and a
// citation whose text is the record's fields, "Heading: value" a line. One
// SOUR record per database, named as the disk's provenance names its
// records (title, author, publication, licence and notes), else by the
// disk; the header, the submitter record the format requires and the
// trailer.
//
// The writer takes the people one at a time and hands the text on in
// pieces, so that an export of any size holds one person and one piece in
// memory. Every line fits 255 bytes: long values go on in CONC lines, split
// between two characters that are not blanks (readers drop blanks at line
// ends) and never inside a UTF-8 sequence or a doubled '@'; values that the
// format does not let go on (names, the citation's locator) are cut to fit,
// and the full text keeps them whole.

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "browse/export/citation.h"
#include "browse/record_text/found_person.h"

class CGedcomWriter {
public:
    static constexpr std::size_t kMaxLine = 255;  // bytes of a line, its end not counted
    static constexpr std::size_t kPieceSize = 64 * 1024;
    static constexpr char kSubmitterName[] = "Chronara user";
    // Begins the line of a person's notes that holds the researcher's own.
    static constexpr char kResearchNoteLabel[] = "Research note: ";

    // Takes each piece of the text as it is made; false when it could not
    // be written, which ends the export.
    using Sink = std::function<bool(const std::string& piece)>;

    CGedcomWriter(const CitationContext& context, Sink sink);

    // The person's INDI record. False once the sink has failed.
    bool Add(const FoundPerson& person);
    // One person of several records (the researcher confirmed them one
    // person): one INDI, named as person's record names them, with the
    // events of every record, each citing the record it came from, and a
    // citation of each record with its fields.
    bool Add(const FoundPerson& person, const std::vector<FoundPerson>& sameRecords);
    // The same, with the researcher's own note on the person (Windows-1252,
    // as the research log keeps it; empty for none) among the person's notes.
    bool Add(const FoundPerson& person, const std::vector<FoundPerson>& sameRecords,
             const std::string& researchNote);
    // Where the records of database code came from, for its source record
    // (read before Finish; a database without any is named by the disk).
    void AddProvenance(int code, std::vector<ProvenanceEntry> provenance);
    bool HasProvenance(int code) const;
    // The sources, the trailer, and the last piece. False when the sink failed.
    bool Finish();

    std::size_t People() const { return people_; }

private:
    void Header();
    void Person(const FoundPerson& person, const std::vector<FoundPerson>& sameRecords,
                const std::string& researchNote);
    // The source record's reference of person's database, its headings noted.
    std::string SourceOf(const FoundPerson& person);
    // The events a record states, each citing it.
    void Events(const FoundPerson& person, const std::string& source);
    // The citation of a record: its fields as it words them, a line each.
    void Citation(const FoundPerson& person, const std::string& source);
    // A NAME structure: the name, its type (null for none) and its parts.
    void Name(const std::string& prefix, const std::string& given, const std::string& surname,
              const char* type);
    // A citation of source, its page the locator.
    void Cite(int level, const std::string& source, const std::string& page);
    void Sources();
    bool Flush();

    // The lines of the file; values are UTF-8.
    void Line(int level, const std::string& tag);
    void Pointer(int level, const std::string& tag, const std::string& xref);
    // A value that fits one line (a longer one is cut to fit).
    void Short(int level, const std::string& tag, const std::string& value);
    // A value that goes on in CONC lines, of level concLevel (-1: the level below).
    void Long(int level, const std::string& tag, const std::string& value, int concLevel = -1);
    // Lines of text (values): CONT for each line after the first, CONC within a line.
    void Text(int level, const std::string& tag, const std::vector<std::string>& lines);

    CitationContext context_;
    Sink sink_;
    std::string buffer_;
    bool failed_ = false;
    std::size_t people_ = 0;
    // The databases cited, by code, with the headings of the most fields a
    // person of each had.
    std::map<int, std::vector<std::string>> sources_;
};

namespace gedcom {

// Windows-1252 text as a value of the file: UTF-8, every control character
// a blank.
std::string Utf8Value(const std::string& windows1252);

// The longest values of the parts the format bounds, in bytes.
inline constexpr std::size_t kMaxPrefix = 30;  // NPFX, NICK
inline constexpr std::size_t kMaxType = 90;
inline constexpr std::size_t kMaxOccupation = 90;
inline constexpr std::size_t kMaxPlace = 120;
inline constexpr std::size_t kMaxRepository = 90;

// The archive among the publishers of a record set ("... National Archives
// ..."), without what its brackets add; empty when none is an archive.
std::string ArchiveOf(const std::vector<std::string>& publishers);

// One line of Windows-1252 text as a value: UTF-8, controls as blanks,
// without blanks around it.
std::string OneLine(const std::string& windows1252);

// The bytes value takes in the file, every '@' doubled.
std::size_t EscapedLength(const std::string& utf8);

// The longest start of value (UTF-8) that takes at most limit bytes in the
// file, cut between two characters, without trailing blanks.
std::string Fit(const std::string& utf8, std::size_t limit);

// Every person as one file.
template <class People>
std::string Document(const People& people, const CitationContext& context) {
    std::string text;
    CGedcomWriter writer(context, [&text](const std::string& piece) {
        text += piece;
        return true;
    });
    for (const FoundPerson& person : people) writer.Add(person);
    writer.Finish();
    return text;
}

}  // namespace gedcom
