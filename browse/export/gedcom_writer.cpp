#include "browse/export/gedcom_writer.h"

#include <utility>
#include <vector>

#include "browse/export/hit_export.h"
#include "browse/export/person_events.h"
#include "browse/export/surname_case.h"
#include "browse/record_text/record_parts.h"
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

// The lines of a full text as values, each without trailing blanks, without
// the empty lines before the first and after the last.
std::vector<std::string> TextLines(const std::string& windows1252) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at <= windows1252.size();) {
        std::size_t end = windows1252.find_first_of("\r\n", at);
        if (end == std::string::npos) end = windows1252.size();
        lines.push_back(TrimmedRight(Utf8Value(windows1252.substr(at, end - at))));
        at = end + (windows1252.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    std::size_t first = 0;
    while (first < lines.size() && lines[first].empty()) ++first;
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));
    return lines;
}

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

void CGedcomWriter::Person(const FoundPerson& person) {
    ++people_;
    std::size_t& fields = sources_[person.code > 0 ? person.code : 0];
    if (person.fields.size() > fields) fields = person.fields.size();
    const std::string source = "@S" + std::to_string(person.code > 0 ? person.code : 0) + "@";
    Line(0, "@I" + std::to_string(people_) + "@ INDI");

    // The name: the given names cut where the whole would not fit a line.
    const std::string given = Utf8Value(Trimmed(person.givenNames));
    const std::string surname = Utf8Value(SurnameInWrittenCase(person.surname));
    const std::string surnamePart = surname.empty() ? "" : "/" + gedcom::Replaced(surname, '/', ' ') + "/";
    const std::size_t nameRoom = kMaxLine - std::string("1 NAME ").size();
    std::string name = Fit(gedcom::Replaced(given, '/', ' '), nameRoom - EscapedLength(surnamePart) - 1);
    name += name.empty() || surnamePart.empty() ? surnamePart : " " + surnamePart;
    Short(1, "NAME", name);
    Short(2, "GIVN", given);
    Short(2, "SURN", surname);

    const std::string page = gedcom::PageOf(person, kMaxLine - std::string("3 PAGE ").size());
    for (const PersonEvent& event : person_events::EventsOf(person)) {
        Line(1, event.tag);
        Short(2, "DATE", event.date);
        Short(2, "PLAC", Utf8Value(event.place));
        Pointer(2, "SOUR", source);
        Short(3, "PAGE", page);
    }
    Pointer(1, "SOUR", source);
    Short(2, "PAGE", page);
    const std::vector<std::string> lines = gedcom::TextLines(person.text);
    if (!lines.empty()) {
        Line(2, "DATA");
        Text(3, "TEXT", lines);
    }
}

void CGedcomWriter::Sources() {
    for (const auto& [code, fields] : sources_) {
        Line(0, "@S" + std::to_string(code) + "@ SOUR");
        Long(1, "TITL", Utf8Value(citation::DatabaseTitle(code)));
        Long(1, "PUBL", Utf8Value(citation::Publisher(context_.disk)));
        if (fields == 0) continue;
        std::string headings = "Fields of each record, in order: ";
        for (std::size_t k = 0; k < fields; ++k)
            headings += (k == 0 ? "" : "; ") + record_parts::FieldHead(code, k);
        Long(1, "NOTE", Utf8Value(headings));
    }
}

bool CGedcomWriter::Flush() {
    if (!failed_ && !buffer_.empty() && !sink_(buffer_)) failed_ = true;
    buffer_.clear();
    return !failed_;
}

bool CGedcomWriter::Add(const FoundPerson& person) {
    if (failed_) return false;
    Person(person);
    return buffer_.size() < kPieceSize || Flush();
}

bool CGedcomWriter::Finish() {
    if (failed_) return false;
    Sources();
    Line(0, "TRLR");
    return Flush();
}
