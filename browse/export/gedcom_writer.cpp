#include "browse/export/gedcom_writer.h"

#include <utility>
#include <vector>

#include "browse/export/hit_export.h"
#include "browse/export/person_events.h"
#include "browse/export/person_name.h"
#include "browse/export/surname_case.h"
#include "browse/record_text/whole_record.h"
#include "store/blank_trim.h"
#include "store/cp1252.h"

namespace gedcom {
namespace {

constexpr char kLineEnd[] = "\r\n";

// Bytes of the UTF-8 sequence that starts with lead (1 for a stray byte).
std::size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

std::size_t CharLength(const std::string& text, std::size_t at) {
    const std::size_t length = SequenceLength(static_cast<unsigned char>(text[at]));
    return at + length <= text.size() ? length : text.size() - at;
}

std::string Escaped(const std::string& utf8, std::size_t from, std::size_t to) {
    std::string out;
    out.reserve(to - from);
    for (std::size_t i = from; i < to; ++i) {
        if (utf8[i] == '@') out += '@';
        out += utf8[i];
    }
    return out;
}

bool IsBlank(char c) { return c == ' '; }

std::string Replaced(std::string text, char from, char to) {
    for (char& c : text) c = c == from ? to : c;
    return text;
}

}  // namespace

std::string Utf8Value(const std::string& windows1252) {
    std::string clean = windows1252;
    for (char& c : clean) {
        const auto byte = static_cast<unsigned char>(c);
        // Control characters, and the five bytes Windows-1252 leaves
        // undefined, which stand for control characters too.
        if (byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 ||
            byte == 0x9D) {
            c = ' ';
        }
    }
    return cp1252::ToUtf8(clean);
}

std::string ArchiveOf(const std::vector<std::string>& publishers) {
    for (const std::string& publisher : publishers) {
        // "U.S. National Archives and Records Administration (the catalogue of M804); ..."
        for (std::size_t at = 0; at < publisher.size();) {
            std::size_t end = publisher.find("; ", at);
            if (end == std::string::npos) end = publisher.size();
            std::string part = Trimmed(publisher.substr(at, end - at));
            at = end + 2;
            const std::size_t aside = part.find(" (");
            if (aside != std::string::npos) part = TrimmedRight(part.substr(0, aside));
            if (part.find("Archive") != std::string::npos || part.find("Record Office") != std::string::npos)
                return part;
        }
    }
    return "";
}

std::string OneLine(const std::string& windows1252) { return Trimmed(Utf8Value(windows1252)); }

std::size_t EscapedLength(const std::string& utf8) {
    std::size_t length = utf8.size();
    for (char c : utf8) length += c == '@' ? 1 : 0;
    return length;
}

std::string Fit(const std::string& utf8, std::size_t limit) {
    std::size_t used = 0;
    std::size_t end = 0;
    while (end < utf8.size()) {
        const std::size_t length = CharLength(utf8, end);
        const std::size_t cost = utf8[end] == '@' ? 2 : length;
        if (used + cost > limit) break;
        used += cost;
        end += length;
    }
    return TrimmedRight(utf8.substr(0, end));
}

namespace {

// The citation's locator as a value of at most limit bytes: given names
// that would not fit are cut, "..." standing for the rest; the entry
// number at its end still finds the person.
std::string PageOf(const FoundPerson& person, std::size_t limit) {
    std::string page = Utf8Value(citation::Locator(person));
    FoundPerson named;
    named.code = person.code;
    named.entry = person.entry;
    named.surname = person.surname;
    std::string given = Trimmed(person.givenNames);
    while (EscapedLength(page) > limit && !given.empty()) {
        // A character takes one to three bytes: a third of the excess is
        // never too much to leave out.
        const std::size_t excess = (EscapedLength(page) - limit + 2) / 3;
        given.resize(given.size() > excess ? given.size() - excess : 0);
        named.givenNames = TrimmedRight(given) + "...";
        page = Utf8Value(citation::Locator(named));
    }
    return Fit(page, limit);
}

}  // namespace

}  // namespace gedcom

using gedcom::EscapedLength;
using gedcom::Fit;
using gedcom::Utf8Value;

CGedcomWriter::CGedcomWriter(const CitationContext& context, Sink sink)
    : context_(context), sink_(std::move(sink)) {
    Header();
}

void CGedcomWriter::Line(int level, const std::string& tag) {
    buffer_ += std::to_string(level);
    buffer_ += ' ';
    buffer_ += tag;
    buffer_ += gedcom::kLineEnd;
}

void CGedcomWriter::Pointer(int level, const std::string& tag, const std::string& xref) {
    Line(level, tag + " " + xref);
}

void CGedcomWriter::Short(int level, const std::string& tag, const std::string& value) {
    const std::string prefix = std::to_string(level) + " " + tag + " ";
    const std::string fitted = Fit(value, kMaxLine - prefix.size());
    if (fitted.empty()) return;
    buffer_ += prefix;
    buffer_ += gedcom::Escaped(fitted, 0, fitted.size());
    buffer_ += gedcom::kLineEnd;
}

void CGedcomWriter::Long(int level, const std::string& tag, const std::string& value, int concLevel) {
    std::string prefix = std::to_string(level) + " " + tag + " ";
    const std::string continued = std::to_string(concLevel < 0 ? level + 1 : concLevel) + " CONC ";
    std::size_t at = 0;
    while (at < value.size()) {
        const std::size_t room = kMaxLine - prefix.size();
        std::size_t end = at;
        std::size_t used = 0;
        std::size_t betweenWords = 0;
        while (end < value.size()) {
            const std::size_t length = gedcom::CharLength(value, end);
            const std::size_t cost = value[end] == '@' ? 2 : length;
            if (used + cost > room) break;
            used += cost;
            end += length;
            if (end < value.size() && !gedcom::IsBlank(value[end - 1]) && !gedcom::IsBlank(value[end])) {
                betweenWords = end;
            }
        }
        // Split where neither side is a blank; a run of blanks longer than a
        // line leaves no such place, and is split where the line is full.
        if (end < value.size() && betweenWords > at) end = betweenWords;
        buffer_ += prefix;
        buffer_ += gedcom::Escaped(value, at, end);
        buffer_ += gedcom::kLineEnd;
        at = end;
        prefix = continued;
    }
}

void CGedcomWriter::Text(int level, const std::string& tag, const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (i == 0) {
            Long(level, tag, line);
        } else if (line.empty()) {
            Line(level + 1, "CONT");
        } else {
            // A CONT line goes on in CONC lines of its own level.
            Long(level + 1, "CONT", line, level + 1);
        }
    }
}

void CGedcomWriter::Header() {
    Line(0, "HEAD");
    Line(1, "SOUR CHRONARA");
    Short(2, "VERS", context_.program);
    Line(2, "NAME Chronara");
    if (calendar_date::IsValid(context_.date)) Short(1, "DATE", calendar_date::AsGedcom(context_.date));
    Pointer(1, "SUBM", "@U1@");
    Line(1, "GEDC");
    Line(2, "VERS 5.5.1");
    Line(2, "FORM LINEAGE-LINKED");
    Line(1, "CHAR UTF-8");
    Line(0, "@U1@ SUBM");
    Short(1, "NAME", kSubmitterName);
}

void CGedcomWriter::Name(const std::string& prefix, const std::string& given, const std::string& surname,
                         const char* type) {
    // The given names cut where the whole would not fit a line.
    const std::string surnamePart = surname.empty() ? "" : "/" + gedcom::Replaced(surname, '/', ' ') + "/";
    const std::size_t nameRoom = kMaxLine - std::string("1 NAME ").size();
    std::string name = Fit(gedcom::Replaced(given, '/', ' '), nameRoom - EscapedLength(surnamePart) - 1);
    name += name.empty() || surnamePart.empty() ? surnamePart : " " + surnamePart;
    if (name.empty()) return;
    Short(1, "NAME", name);
    if (type != nullptr) Line(2, std::string("TYPE ") + type);
    Short(2, "NPFX", Fit(prefix, gedcom::kMaxPrefix));
    Short(2, "GIVN", given);
    Short(2, "SURN", surname);
}

void CGedcomWriter::Cite(int level, const std::string& source, const std::string& page) {
    Pointer(level, "SOUR", source);
    Short(level + 1, "PAGE", page);
}

std::string CGedcomWriter::SourceOf(const FoundPerson& person) {
    // Each source lists the headings of the longest record of its database.
    std::vector<std::string>& headings = sources_[person.code > 0 ? person.code : 0];
    for (std::size_t k = headings.size(); k < person.fields.size(); ++k)
        headings.push_back(whole_record::HeadingOf(person, k));
    return "@S" + std::to_string(person.code > 0 ? person.code : 0) + "@";
}

void CGedcomWriter::Person(const FoundPerson& person, const std::vector<FoundPerson>& sameRecords,
                           const std::string& researchNote) {
    ++people_;
    const std::string source = SourceOf(person);
    Line(0, "@I" + std::to_string(people_) + "@ INDI");

    const PersonName name = person_name::NameOf(person);
    const std::string given = Utf8Value(name.given);
    const std::string surname = Utf8Value(name.surname);
    const bool married = !name.birthSurname.empty();
    Name(Utf8Value(name.prefix), given, surname, married ? "married" : nullptr);
    Short(2, "NICK", Fit(Utf8Value(name.nickname), gedcom::kMaxPrefix));
    if (married) Name("", given, Utf8Value(name.birthSurname), "birth");
    if (!name.alsoKnownAs.empty()) {
        // Another name, its last word taken as its surname.
        std::string other = Trimmed(Utf8Value(name.alsoKnownAs));
        std::string prefix;
        const std::size_t blank = other.find(' ');
        if (blank != std::string::npos && person_name::IsTitle(other.substr(0, blank))) {
            prefix = other.substr(0, blank);
            other = Trimmed(other.substr(blank));
        }
        const std::size_t last = other.rfind(' ');
        if (last == std::string::npos) {
            Name(prefix, "", other, "aka");
        } else {
            Name(prefix, other.substr(0, last), other.substr(last + 1), "aka");
        }
    }
    Line(1, std::string("SEX ") + person_name::SexLetter(person_name::SexOf(person)));

    Events(person, source);
    std::vector<std::string> sources{source};
    for (const FoundPerson& same : sameRecords) {
        sources.push_back(SourceOf(same));
        Events(same, sources.back());
    }
    std::vector<std::string> notes;
    for (const std::string& line : person_events::NotesOf(person)) notes.push_back(gedcom::OneLine(line));
    for (const FoundPerson& same : sameRecords) {
        for (const std::string& line : person_events::NotesOf(same)) notes.push_back(gedcom::OneLine(line));
    }
    if (!gedcom::OneLine(researchNote).empty())
        notes.push_back(kResearchNoteLabel + gedcom::OneLine(researchNote));
    Text(1, "NOTE", notes);

    Citation(person, source);
    for (std::size_t k = 0; k < sameRecords.size(); ++k) Citation(sameRecords[k], sources[k + 1]);
}

void CGedcomWriter::Events(const FoundPerson& person, const std::string& source) {
    const std::string page = gedcom::PageOf(person, kMaxLine - std::string("3 PAGE ").size());
    for (const PersonEvent& event : person_events::EventsOf(person)) {
        if (event.value.empty()) {
            Line(1, event.tag);
        } else {
            Short(1, event.tag, Fit(Utf8Value(event.value), gedcom::kMaxOccupation));
        }
        Short(2, "TYPE", Fit(Utf8Value(event.type), gedcom::kMaxType));
        Short(2, "DATE", event.date);
        Short(2, "PLAC", Fit(Utf8Value(event.place), gedcom::kMaxPlace));
        std::vector<std::string> note;
        for (const std::string& line : event.note) note.push_back(gedcom::OneLine(line));
        // An occupation cut to fit is whole in the note.
        if (!event.value.empty() && EscapedLength(Utf8Value(event.value)) > gedcom::kMaxOccupation)
            note.insert(note.begin(), gedcom::OneLine(event.value));
        Text(2, "NOTE", note);
        Cite(2, source, page);
    }
}

void CGedcomWriter::Citation(const FoundPerson& person, const std::string& source) {
    Cite(1, source, gedcom::PageOf(person, kMaxLine - std::string("3 PAGE ").size()));
    std::vector<std::string> lines;
    for (const HeadedField& field : whole_record::FieldsOf(person)) {
        if (!field.text.empty()) lines.push_back(gedcom::OneLine(field.heading + ": " + field.text));
    }
    if (!lines.empty()) {
        Line(2, "DATA");
        Text(3, "TEXT", lines);
    }
}

void CGedcomWriter::AddProvenance(int code, std::vector<ProvenanceEntry> provenance) {
    context_.provenance[code] = std::move(provenance);
}

bool CGedcomWriter::HasProvenance(int code) const { return context_.provenance.count(code) != 0; }

void CGedcomWriter::Sources() {
    static const std::vector<ProvenanceEntry> kNone;
    for (const auto& [code, headings] : sources_) {
        const auto known = context_.provenance.find(code);
        const std::vector<ProvenanceEntry>& about =
            known != context_.provenance.end() ? known->second : kNone;
        auto joined = [&about](const char* key) {
            std::string text;
            for (const std::string& value : database_about::ValuesOf(about, key))
                text += (text.empty() ? "" : "; ") + value;
            return text;
        };
        const std::vector<std::string> titles = database_about::ValuesOf(about, "Title");
        const std::string disk = citation::Publisher(context_.disk);
        Line(0, "@S" + std::to_string(code) + "@ SOUR");
        Long(1, "TITL", Utf8Value(titles.empty() ? citation::DatabaseTitle(code) : titles.front()));
        // The publisher made the record set, the source is where it was
        // published; where the provenance names none, the disk is.
        const std::string publisher = joined("Publisher");
        const std::string published = joined("Source");
        Long(1, "AUTH", Utf8Value(publisher));
        Long(1, "PUBL", Utf8Value(published.empty() ? disk : published));
        const std::string archive = gedcom::ArchiveOf(database_about::ValuesOf(about, "Publisher"));
        if (!archive.empty()) Pointer(1, "REPO", "@R" + std::to_string(code) + "@");
        std::vector<std::string> note = {"Read from " + disk + " with Chronara " + context_.program + "."};
        if (!titles.empty() && titles.front() != citation::DatabaseTitle(code))
            note.push_back("Database: " + citation::DatabaseTitle(code));
        for (const char* key : {"Licence", "Address", "Compiled", "Notes"}) {
            for (const std::string& value : database_about::ValuesOf(about, key))
                note.push_back(std::string(key) + ": " + value);
        }
        if (!headings.empty()) {
            std::string line = "Fields of each record, in order: ";
            for (std::size_t k = 0; k < headings.size(); ++k) line += (k == 0 ? "" : "; ") + headings[k];
            note.push_back(line);
        }
        std::vector<std::string> utf8;
        for (const std::string& line : note) utf8.push_back(gedcom::OneLine(line));
        Text(1, "NOTE", utf8);
    }
    // The archives that hold the records, where the provenance names one.
    for (const auto& [code, headings] : sources_) {
        const auto known = context_.provenance.find(code);
        if (known == context_.provenance.end()) continue;
        const std::string archive = gedcom::ArchiveOf(database_about::ValuesOf(known->second, "Publisher"));
        if (archive.empty()) continue;
        Line(0, "@R" + std::to_string(code) + "@ REPO");
        Short(1, "NAME", Fit(Utf8Value(archive), gedcom::kMaxRepository));
        const std::vector<std::string> addresses = database_about::ValuesOf(known->second, "Address");
        if (!addresses.empty()) Short(1, "WWW", Utf8Value(addresses.front()));
    }
}

bool CGedcomWriter::Flush() {
    if (!failed_ && !buffer_.empty() && !sink_(buffer_)) failed_ = true;
    buffer_.clear();
    return !failed_;
}

bool CGedcomWriter::Add(const FoundPerson& person) { return Add(person, {}); }

bool CGedcomWriter::Add(const FoundPerson& person, const std::vector<FoundPerson>& sameRecords) {
    return Add(person, sameRecords, std::string());
}

bool CGedcomWriter::Add(const FoundPerson& person, const std::vector<FoundPerson>& sameRecords,
                        const std::string& researchNote) {
    if (failed_) return false;
    Person(person, sameRecords, researchNote);
    return buffer_.size() < kPieceSize || Flush();
}

bool CGedcomWriter::Finish() {
    if (failed_) return false;
    Sources();
    Line(0, "TRLR");
    return Flush();
}
