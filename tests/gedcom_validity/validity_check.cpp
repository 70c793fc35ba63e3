// Family-tree exports against two independent readers: Gedcom.pm validates
// one against its GEDCOM 5.5.1 grammar, and Gramps imports it headless and
// exports it again, which must hold every person, source and citation.
//
// The file holds people of the sample disk from several databases, as the
// query tool's session finds them, and people made to test the format's
// edges: accents, '@', a field longer than a line, no given names. Where
// either reader is not installed the check is skipped (exit status 77).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "browse/export/gedcom_writer.h"
#include "browse/session/search_session.h"
#include "platform/message_box.h"
#include "store/directories.h"
#include "support/gedcom_lines.h"
#include "support/test_support.h"

namespace {

using gedcom_lines::Joined;
using gedcom_lines::Line;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

const char kSampleDisk[] = CHRONARA_BINARY_DIR "/sample-disk/";

// Gedcom.pm's verdict: "valid" or "INVALID", after every warning it gave.
const char kValidate[] =
    "use strict; use warnings; use Gedcom; my @w; local $SIG{__WARN__} = sub { push @w, @_ }; "
    "my $g = Gedcom->new(gedcom_file => $ARGV[0], grammar_version => '5.5.1', read_only => 1); "
    "my $ok = $g && $g->validate; print @w; print $ok && !@w ? \"valid\\n\" : \"INVALID\\n\";";

bool Succeeds(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// Runs command through the shell; its standard output and error.
std::string Output(const std::string& command, const std::string& scratch) {
    const std::string file = scratch + "/output.txt";
    std::system((command + " >'" + file + "' 2>&1").c_str());
    return ReadFileBytes(file);
}

FoundPerson Person(int code, std::int32_t entry, std::string surname, std::string given,
                   std::vector<std::string> fields) {
    FoundPerson person;
    person.code = code;
    person.entry = entry;
    person.surname = std::move(surname);
    person.givenNames = std::move(given);
    person.fields = std::move(fields);
    return person;
}

// The people of the file: some from the sample disk, some made for the edges.
std::vector<FoundPerson> People() {
    std::vector<FoundPerson> people;
    CDirectories dirs;
    dirs.SetDataDir(kSampleDisk);
    TempDir install;
    dirs.SetInstallDir((install.Path() + "/").c_str());
    CSearchSession session(dirs);
    const std::pair<const char*, const char*> searches[] = {
        {"civmoh", "smith"},   {"civmoh", "chamberlain"}, {"ww2_kor", "johnson"}, {"vnmmoh", "williams"},
        {"honorol", "smith"},  {"titan", "andersson"},    {"titan", "astor"},     {"w1812", "anderson"},
        {"pcc", "brown"},      {"congen", "walker"},      {"unigen", "smith"},    {"ww1moh", "turner"},
        {"ww2moh", "johnson"}, {"rev", "smith"},          {"ww2_pow", "brown"},   {"v_mem", "brown"},
    };
    for (const auto& [stem, surname] : searches) {
        const SearchOutcome outcome = session.SearchCode(catalogue::CodeOfStem(stem), surname, nullptr);
        EXPECT_EQ(outcome.status, SearchStatus::Found) << stem;
        EXPECT_TRUE(session
                        .ForEachPerson([&people](const FoundPerson& person) {
                            people.push_back(person);
                            return true;
                        })
                        .Done());
    }
    std::string longField;
    while (longField.size() < 700) longField += "Served at M\xfcnster and N\xeemes @ the front; ";
    people.push_back(Person(8, 1, "L\xc9VESQUE", "Fran\xe7ois-\xc9tienne", {"", "", "", "", "", longField}));
    people.push_back(Person(11, 2, "O'BRIEN", "", {"", "mail@home @@ twice"}));
    people.push_back(
        Person(12, 3, "MCCOY", "Zo\xeb", {std::string(300, 'x') + "\xe9" + std::string(300, 'y')}));
    return people;
}

TEST(GedcomValidity, ExportsPassGedcomPmAndComeBackWholeFromGramps) {
    TempDir scratch;
    CitationContext context;
    context.date = CalendarDate{2026, 1, 9};
    const std::vector<FoundPerson> people = People();
    ASSERT_GT(people.size(), 300u);
    const std::string exported = gedcom::Document(people, context);
    const std::string file = scratch.File("people.ged");
    WriteFileBytes(file, exported);

    const std::string script = scratch.File("validate.pl");
    WriteFileBytes(script, kValidate);
    EXPECT_EQ(Output("perl '" + script + "' '" + file + "'", scratch.Path()), "valid\n");

    // Gramps keeps its settings and trees below HOME; nothing of the
    // user's is read, and no display is needed.
    const std::string again = scratch.File("again.ged");
    const std::string report =
        Output("env -u DISPLAY -u WAYLAND_DISPLAY HOME='" + scratch.Path() + "' GRAMPSHOME='" +
                   scratch.Path() + "' gramps -y -C chronara -i '" + file + "' -e '" + again + "'",
               scratch.Path());
    EXPECT_NE(report.find("No errors detected"), std::string::npos) << report;

    // Every person, source and citation, with its text, is there again:
    // each event and fact with its type, date and place, the names with
    // their titles and types, the sexes, the sources' authors (Gramps adds
    // its own: the dates of its changes, notes of the texts; it writes no
    // unknown sex).
    auto collect = [](const std::string& text) {
        const std::vector<Line> lines = gedcom_lines::Lines(text);
        std::multiset<std::string> found;
        std::string record;
        std::string fact;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].level == 0) record = lines[i].tag;
            if (lines[i].level == 1) fact = lines[i].tag;
            const std::string& tag = lines[i].tag;
            const bool event = record == "INDI" && lines[i].level == 2 && fact != "NAME" && fact != "SOUR";
            // Gramps keeps notes as records of their own.
            if (tag == "NOTE" && (lines[i].level == 0 || record == "SOUR" ||
                                  (record == "INDI" && lines[i].value.compare(0, 1, "@") != 0))) {
                found.insert("note " + Joined(lines, i));
            } else if (event && (tag == "TYPE" || tag == "DATE" || tag == "PLAC")) {
                found.insert("INDI " + fact + " " + tag + " " + Joined(lines, i));
            } else if (record == "INDI" && lines[i].level == 1 && tag != "NAME" && tag != "SOUR" &&
                       tag != "NOTE" && tag != "CHAN" && tag != "SEX") {
                found.insert("INDI " + tag + " " + Joined(lines, i));
            } else if (record == "INDI" && ((tag == "SEX" && lines[i].value != "U") || tag == "NPFX" ||
                                            tag == "NICK" || (tag == "TYPE" && fact == "NAME"))) {
                found.insert("INDI " + tag + " " + Joined(lines, i));
            } else if (record == "INDI" && tag == "NAME") {
                // Gramps writes a blank before the surname of a person without given names.
                std::string name = Joined(lines, i);
                found.insert("INDI NAME " + name.substr(name.find_first_not_of(' ')));
            } else if ((record == "SOUR" && (tag == "TITL" || tag == "PUBL" || tag == "AUTH")) ||
                       (record == "INDI" && (tag == "PAGE" || tag == "TEXT"))) {
                found.insert(record + " " + tag + " " + Joined(lines, i));
            }
        }
        return found;
    };
    const std::multiset<std::string> before = collect(exported);
    std::multiset<std::string> after = collect(ReadFileBytes(again));
    std::vector<std::string> missing;
    for (const std::string& value : before) {
        auto it = after.find(value);
        if (it == after.end()) {
            missing.push_back(value.substr(0, 120));
        } else {
            after.erase(it);
        }
    }
    EXPECT_EQ(missing, std::vector<std::string>{});
    // Gramps read the '@' as the record holds it.
    EXPECT_EQ(collect(ReadFileBytes(again)).count("INDI TEXT Inducted From: mail@home @@ twice"), 1u);
    // What a genealogist looks for arrived: Chamberlain's birth and deed,
    // Mrs. Astor's title and birth name, and the kinds of events of every
    // real database.
    const std::multiset<std::string> arrived = collect(ReadFileBytes(again));
    for (const char* value :
         {"INDI BIRT DATE 8 SEP 1828", "INDI BIRT PLAC Brewer, Maine", "INDI EVEN TYPE Medal of Honor",
          "INDI EVEN DATE 2 JUL 1863", "INDI RESI PLAC Brunswick, Maine", "INDI NPFX Mrs.", "INDI TYPE birth",
          "INDI SEX F", "INDI SEX M", "INDI EVEN TYPE Military Service", "INDI EVEN TYPE Prisoner of War",
          "INDI RESI TYPE Home of record", "INDI BURI PLAC", "INDI OCCU", "INDI PROB DATE", "INDI WILL"}) {
        const auto at = arrived.lower_bound(value);
        EXPECT_TRUE(at != arrived.end() && at->compare(0, std::string(value).size(), value) == 0) << value;
    }
}

// "TAG|source title|page" for each citation of an INDI: of its events
// (level 2) and of the person (level 1, tag SOUR); and the number of INDI.
std::multiset<std::string> Citations(const std::string& text, int& people) {
    const std::vector<Line> lines = gedcom_lines::Lines(text);
    std::map<std::string, std::string> titles;
    std::string record;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].level == 0) record = lines[i].xref;
        if (lines[i].level == 1 && lines[i].tag == "TITL") titles[record] = Joined(lines, i);
    }
    std::multiset<std::string> found;
    people = 0;
    std::string kind;
    std::string fact;
    std::string source;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.level == 0) kind = line.tag;
        if (kind == "INDI" && line.level == 0) ++people;
        if (kind != "INDI") continue;
        if (line.level == 1) fact = line.tag;
        if (line.tag == "SOUR" && line.level <= 2) source = titles[line.value];
        if (line.tag == "PAGE") found.insert(fact + "|" + source + "|" + Joined(lines, i));
    }
    return found;
}

TEST(GedcomValidity, OnePersonOfTwoRecordsComesBackFromGrampsAsOneCitingBoth) {
    // Chamberlain on the Medal of Honor roll and among the Union generals,
    // confirmed one man: one INDI whose events each cite their record.
    CDirectories dirs;
    dirs.SetDataDir(kSampleDisk);
    TempDir install;
    dirs.SetInstallDir((install.Path() + "/").c_str());
    CSearchSession session(dirs);
    std::vector<FoundPerson> records;
    for (const char* stem : {"civmoh", "unigen"}) {
        ASSERT_EQ(session.SearchCode(catalogue::CodeOfStem(stem), "chamberlain", nullptr).status,
                  SearchStatus::Found);
        session.ForEachPerson([&records](const FoundPerson& person) {
            if (person.givenNames.compare(0, 6, "Joshua") == 0) records.push_back(person);
            return true;
        });
    }
    ASSERT_EQ(records.size(), 2u);
    CitationContext context;
    context.date = CalendarDate{2026, 1, 9};
    std::string exported;
    CGedcomWriter writer(context, [&exported](const std::string& piece) {
        exported += piece;
        return true;
    });
    writer.Add(records[0], {records[1]});
    writer.Finish();
    TempDir scratch;
    const std::string file = scratch.File("one.ged");
    WriteFileBytes(file, exported);
    const std::string script = scratch.File("validate.pl");
    WriteFileBytes(script, kValidate);
    EXPECT_EQ(Output("perl '" + script + "' '" + file + "'", scratch.Path()), "valid\n");
    const std::string again = scratch.File("again.ged");
    const std::string report =
        Output("env -u DISPLAY -u WAYLAND_DISPLAY HOME='" + scratch.Path() + "' GRAMPSHOME='" +
                   scratch.Path() + "' gramps -y -C chronara -i '" + file + "' -e '" + again + "'",
               scratch.Path());
    EXPECT_NE(report.find("No errors detected"), std::string::npos) << report;
    int before = 0;
    int after = 0;
    const std::multiset<std::string> cited = Citations(exported, before);
    const std::multiset<std::string> back = Citations(ReadFileBytes(again), after);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(cited, back);
    // Both records cited by the person, the birth of the roll and the war
    // service of the generals' list each citing its own.
    struct Want {
        const char* fact;
        const char* source;  // the start of its title
    };
    for (const Want& want : {Want{"SOUR", "Civil War Medal of Honor"}, Want{"SOUR", "Union Generals"},
                             Want{"BIRT", "Civil War Medal of Honor"}, Want{"EVEN", "Union Generals"}}) {
        const std::string prefix = std::string(want.fact) + "|" + want.source;
        const bool there = std::any_of(back.begin(), back.end(), [&](const std::string& one) {
            return one.compare(0, prefix.size(), prefix) == 0;
        });
        EXPECT_TRUE(there) << prefix << "\n" << ::testing::PrintToString(back);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!Succeeds("perl -MGedcom -e 1") || !Succeeds("command -v gramps")) {
        std::printf(
            "gedcom_validity: skipped: the family-tree exports are checked with Gedcom.pm and Gramps, and "
            "this machine lacks one of them (scripts/install-deps.sh installs libgedcom-perl and gramps)\n");
        return 77;
    }
    platform::SetMessageBoxHandler(platform::StderrMessageBox, nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
