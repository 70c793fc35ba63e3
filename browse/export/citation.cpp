#include "browse/export/citation.h"

#include "browse/export/surname_case.h"
#include "store/blank_trim.h"
#include "store/catalogue.h"

namespace citation {
namespace {

// The roll of honor is reached by its code only.
constexpr int kRollCode = 9;
constexpr char kRollTitle[] = "Roll of Honor";

std::string EntryFor(const FoundPerson& person) {
    const std::string name = PersonName(person);
    return person.entry >= 0 ? "entry " + std::to_string(person.entry) + " for " + name
                             : "the entry for " + name;
}

// text with a full stop, unless it ends with one ("Ltd.").
std::string Sentence(const std::string& text) {
    return !text.empty() && text.back() == '.' ? text : text + ".";
}

// The values of a key that repeats, as one text.
std::string Joined(const std::vector<std::string>& values) {
    std::string text;
    for (const std::string& value : values) text += (text.empty() ? "" : "; ") + value;
    return text;
}

}  // namespace

std::string DatabaseTitle(int code) {
    const char* title = catalogue::TitleOfCode(code);
    if (title != nullptr) return title;
    if (code == kRollCode) return kRollTitle;
    const char* stem = catalogue::StemOf(code);
    return stem != nullptr ? stem : "database " + std::to_string(code);
}

std::string Publisher(const DiskLabel& disk) {
    return disk.version.empty() ? disk.name : disk.name + ", version " + disk.version;
}

std::string PersonName(const FoundPerson& person) {
    const std::string given = Trimmed(person.givenNames);
    const std::string surname = SurnameInWrittenCase(person.surname);
    if (given.empty()) return surname;
    return surname.empty() ? given : given + " " + surname;
}

std::string Locator(const FoundPerson& person) {
    std::string locator = DatabaseTitle(person.code) + ", surname " + Trimmed(person.surname);
    const std::string given = Trimmed(person.givenNames);
    if (!given.empty()) locator += ", given names " + given;
    if (person.entry >= 0) locator += ", entry " + std::to_string(person.entry);
    return locator;
}

Citation Of(const FoundPerson& person, const CitationContext& context) {
    static const std::vector<ProvenanceEntry> kNone;
    const auto known = context.provenance.find(person.code);
    const std::vector<ProvenanceEntry>& about = known != context.provenance.end() ? known->second : kNone;
    const std::vector<std::string> titles = database_about::ValuesOf(about, "Title");
    const std::string title = titles.empty() ? DatabaseTitle(person.code) : titles.front();
    const std::string publishers = Joined(database_about::ValuesOf(about, "Publisher"));
    const std::string sources = Joined(database_about::ValuesOf(about, "Source"));
    // Where the provenance names the publisher, the disk is the medium.
    const std::string publisher = publishers.empty() ? Publisher(context.disk) : publishers;
    const std::string medium = publishers.empty()
                                   ? "data disk read with Chronara " + context.program
                                   : Publisher(context.disk) + ", read with Chronara " + context.program;
    const std::string article = publishers.empty() ? "a " : "";
    const std::string consulted =
        calendar_date::IsValid(context.date) ? "; consulted " + calendar_date::AsWords(context.date) : "";
    Citation cited;
    cited.fullNote = Sentence("\"" + title + ",\" database, " + publisher + " (" + article + medium + "), " +
                              EntryFor(person) + consulted + (sources.empty() ? "" : "; citing " + sources));
    cited.shortNote = Sentence("\"" + title + ",\" " + EntryFor(person));
    cited.sourceListEntry = "\"" + title + ".\" Database. " + Sentence(publisher) + " " +
                            (publishers.empty() ? "A " : "") + medium + "." +
                            (sources.empty() ? "" : " " + Sentence("Citing " + sources));
    return cited;
}

}  // namespace citation
