#include "tools/query/query_links.h"

#include <cstdio>
#include <string>
#include <vector>

#include "browse/export/hit_export.h"
#include "browse/linkage/link_disk.h"
#include "browse/names/given_name_table.h"
#include "browse/record_text/search_messages.h"
#include "browse/research_log/disk_identity.h"
#include "browse/research_log/research_log.h"
#include "browse/same_person/kept_person.h"
#include "platform/message_box.h"
#include "store/blank_trim.h"
#include "store/catalogue.h"
#include "store/cp1252.h"
#include "tools/query/query_exit.h"
#include "tools/query/query_log.h"
#include "tools/query/query_services.h"

namespace query_tool {
namespace {

using linkage::CLinkIndex;
using linkage::LinkJudgement;
using linkage::LinkPerson;

// A name for a column of tab-separated text: no tab or line end of its own.
std::string Cell(const std::string& windows1252, bool raw) {
    std::string text = TrimmedRight(windows1252);
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    }
    return raw ? text : cp1252::ToUtf8(text);
}

std::string PersonColumns(const LinkPerson& person, bool raw, bool names) {
    std::string text = std::string(catalogue::StemOf(person.code)) + "\t" + std::to_string(person.entry);
    if (names) text += "\t" + Cell(person.surname, raw) + "\t" + Cell(person.givenNames, raw);
    return text;
}

std::string JudgementColumns(const LinkJudgement& judgement, bool confirmed) {
    return std::to_string(judgement.score) + "\t" + linkage::ShownVerdict(judgement, confirmed) + "\t" +
           judgement.ReasonText();
}

std::string PersonJson(const LinkPerson& person, const char* suffix, bool names) {
    using hit_export::JsonString;
    std::string text = std::string("\"database") + suffix +
                       "\": " + JsonString(catalogue::StemOf(person.code)) + ", \"entry" + suffix +
                       "\": " + std::to_string(person.entry);
    if (names) {
        text += ", \"surname\": " + JsonString(TrimmedRight(person.surname)) +
                ", \"given_names\": " + JsonString(TrimmedRight(person.givenNames));
    }
    return text;
}

std::string JudgementJson(const LinkJudgement& judgement, bool confirmed) {
    using hit_export::JsonString;
    std::string text = "\"score\": " + std::to_string(judgement.score) +
                       ", \"verdict\": " + JsonString(linkage::ShownVerdict(judgement, confirmed)) +
                       ", \"reasons\": [";
    for (std::size_t k = 0; k < judgement.reasons.size(); ++k) {
        text += (k == 0 ? "" : ", ") + JsonString(judgement.reasons[k]);
    }
    return text + "]";
}

void Write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

// Reads the people of codes; false after saying what went wrong, with status set.
bool Load(const CDirectories& dirs, const std::vector<int>& codes, CLinkIndex& index, int& status) {
    const linkage::LoadOutcome loaded = linkage::LoadPeople(dirs, codes, index, DiskPromptOfTool(dirs));
    if (loaded.noDisk) {
        status = kExitFailed;
        return false;
    }
    for (const int code : loaded.skipped) {
        Complain(std::string("note: ") + catalogue::NameOfCode(code) +
                 " is skipped: its files are not on the data disk");
    }
    if (loaded.error.Failed()) {
        Complain(search_messages::MessageOf(loaded.error));
        status = ExitStatusOf(loaded.error);
        return false;
    }
    return true;
}

// With --log, the verdicts of the research log on pairs of this disk: a log
// that cannot be read is said and the links are given without them.
void ReadVerdicts(const QueryOptions& options, const CDirectories& dirs, linkage::CKnownPairs& known) {
    if (!options.research.log) return;
    research_log::DiskIdentity disk;
    if (research_log::ReadDiskIdentity(dirs, disk).Failed()) return;
    research_log::CResearchLog log;
    std::vector<research_log::PairVerdict> verdicts;
    TellLogOutcome(log.Verdicts(&disk, false, verdicts));
    for (const research_log::PairVerdict& verdict : verdicts) {
        known.Set({verdict.first.code, verdict.first.entry}, {verdict.second.code, verdict.second.entry},
                  verdict.sameness == research_log::Sameness::Same ? linkage::Known::Same
                                                                   : linkage::Known::NotSame);
    }
}

// --verdict on the person of the row (self) and the record --with names.
int KeepVerdict(const QueryOptions& options, const CDirectories& dirs, const CLinkIndex& index,
                std::uint32_t self, const std::string& summary) {
    const LogRequest& request = options.research;
    const auto& people = index.People();
    std::uint32_t other = 0;
    while (other < people.size() &&
           !(people[other].code == request.withCode && people[other].entry == request.withEntry)) {
        ++other;
    }
    if (other == people.size()) {
        Complain(std::string("--with: ") + catalogue::StemOf(request.withCode) + " has no entry " +
                 std::to_string(request.withEntry) + " among the people it links");
        return kExitFailed;
    }
    if (other == self) {
        Complain("--with: the record is the person of the row itself");
        return kExitFailed;
    }
    research_log::DiskIdentity disk;
    const StoreError unknown = research_log::ReadDiskIdentity(dirs, disk);
    if (unknown.Failed()) {
        Complain(search_messages::MessageOf(unknown));
        return ExitStatusOf(unknown);
    }
    research_log::CResearchLog log;
    if (request.verdict == LogRequest::Verdict::Forget) {
        bool found = false;
        research_log::PairVerdict verdict;
        const research_log::LogOutcome read =
            log.VerdictOn(disk, {people[self].code, people[self].entry},
                          {request.withCode, request.withEntry}, found, verdict);
        if (read.Failed() || !found) return FinishStandardOutput(TellLogOutcome(read));
        research_log::PairVerdict removed;
        return FinishStandardOutput(TellLogOutcome(log.RemoveVerdict(verdict.id, found, removed)));
    }
    const research_log::Sameness sameness = request.verdict == LogRequest::Verdict::Same
                                                ? research_log::Sameness::Same
                                                : research_log::Sameness::NotSame;
    return FinishStandardOutput(TellLogOutcome(log.SetVerdict(
        disk, same_person::KeptPersonOf(people[self], summary), same_person::KeptPersonOf(people[other]),
        sameness, request.hasNote ? &request.note : nullptr)));
}

}  // namespace

int PrintLinksOfRow(const QueryOptions& options, CSearchSession& session, const CDirectories& dirs) {
    if (options.linksRow < 0 || options.linksRow >= session.RowsOnPage()) {
        Complain("--links: the page has no row " + std::to_string(options.linksRow));
        return kExitFailed;
    }
    FoundPerson found;
    const SearchOutcome outcome = session.PersonOfRow(static_cast<int>(options.linksRow), found);
    platform::Tell(outcome.messages);
    if (outcome.status == SearchStatus::Failed) return ExitStatusOf(outcome.error);
    if (outcome.status == SearchStatus::Cancelled) return kExitFailed;

    const CGivenNameTable& names = CGivenNameTable::Builtin();
    CLinkIndex index(names);
    int status = kExitSearched;
    // Every database of the disk, the roll included whoever the person is:
    // a link of the roll's is listed from both of its people.
    if (!Load(dirs, catalogue::EveryDatabaseOfDisk(), index, status)) return status;
    std::uint32_t self = 0;
    bool held = false;
    for (std::uint32_t i = 0; i < index.Size() && !held; ++i) {
        held = index.CodeOf(i) == found.code && index.EntryOf(i) == found.entry;
        if (held) self = i;
    }
    if (options.research.verdict != LogRequest::Verdict::None) {
        if (!held) {
            Complain("--verdict: the person of the row is not among the people linked");
            return kExitFailed;
        }
        return KeepVerdict(options, dirs, index, self,
                           session.Pager().Row(static_cast<int>(options.linksRow)).summary);
    }
    linkage::CKnownPairs known;
    ReadVerdicts(options, dirs, known);
    std::vector<linkage::Link> links;
    if (held) links = linkage::LinksOf(index, self, names, &known);
    const bool json = options.format == ListFormat::Json;
    std::string text = json ? "[" : "";
    for (std::size_t k = 0; k < links.size(); ++k) {
        const LinkPerson& other = index.People()[links[k].other];
        if (json) {
            text += std::string(k == 0 ? "\n  {" : ",\n  {") + PersonJson(other, "", true) + ", " +
                    JudgementJson(links[k].judgement, links[k].confirmed) + "}";
        } else {
            text += PersonColumns(other, options.raw, true) + "\t" +
                    JudgementColumns(links[k].judgement, links[k].confirmed) + "\n";
        }
    }
    if (json) text += links.empty() ? "]\n" : "\n]\n";
    Write(text);
    return FinishStandardOutput(kExitSearched);
}

int RunLinksAll(const QueryOptions& options) {
    CDirectories dirs;
    LoadDirectoriesOf(options, dirs);
    const std::vector<int> codes =
        options.allDatabases ? catalogue::EveryDatabase() : std::vector<int>{options.code};
    const CGivenNameTable& names = CGivenNameTable::Builtin();
    CLinkIndex index(names);
    int status = kExitSearched;
    if (!Load(dirs, codes, index, status)) return status;
    linkage::CKnownPairs known;
    ReadVerdicts(options, dirs, known);
    const std::vector<linkage::LinkPair> pairs = linkage::AllLinks(index, names, &known);
    const bool json = options.format == ListFormat::Json;
    std::string text = json ? "[" : "";
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const LinkPerson& a = index.People()[pairs[k].first];
        const LinkPerson& b = index.People()[pairs[k].second];
        if (json) {
            text += std::string(k == 0 ? "\n  {" : ",\n  {") + PersonJson(a, "1", false) + ", " +
                    PersonJson(b, "2", false) + ", " + JudgementJson(pairs[k].judgement, pairs[k].confirmed) +
                    "}";
        } else {
            text += PersonColumns(a, options.raw, false) + "\t" + PersonColumns(b, options.raw, false) +
                    "\t" + JudgementColumns(pairs[k].judgement, pairs[k].confirmed) + "\n";
        }
    }
    if (json) text += pairs.empty() ? "]\n" : "\n]\n";
    Write(text);
    return FinishStandardOutput(kExitSearched);
}

}  // namespace query_tool
