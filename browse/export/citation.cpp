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
    const std::string title = DatabaseTitle(person.code);
    const std::string publisher = Publisher(context.disk);
    const std::string medium = "data disk read with Chronara " + context.program;
    const std::string consulted =
        calendar_date::IsValid(context.date) ? "; consulted " + calendar_date::AsWords(context.date) : "";
    Citation cited;
    cited.fullNote = "\"" + title + ",\" database, " + publisher + " (a " + medium + "), " +
                     EntryFor(person) + consulted + ".";
    cited.shortNote = "\"" + title + ",\" " + EntryFor(person) + ".";
    cited.sourceListEntry = "\"" + title + ".\" Database. " + publisher + ". A " + medium + ".";
    return cited;
}

}  // namespace citation
