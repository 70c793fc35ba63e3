// What a data disk says of a database besides its records: the rules of its
// headings and provenance files, their checked reads, the headings as every
// place names a field, the whole record, the CSV columns, and a field
// chosen by the heading the disk gives it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "browse/export/found_csv.h"
#include "browse/export/hit_export.h"
#include "browse/export/printed_record.h"
#include "browse/record_query/record_fields.h"
#include "browse/record_text/field_headings.h"
#include "browse/record_text/search_messages.h"
#include "browse/record_text/whole_record.h"
#include "store/database_about.h"
#include "store/directories.h"
#include "support/test_support.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFileBytes;

std::string Lines(const std::string& line, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += line + "\n";
    return text;
}

TEST(DatabaseAbout, FileRulesAndTheLineThatBreaksThem) {
    const std::string longHeading(disk_format::kMaxHeading + 1, 'h');
    const struct {
        bool headings;  // else provenance
        std::string text;
        long faultLine;  // 0: parses
        const char* reason;
    } cases[] = {
        {true, "", 0, ""},
        {true, "Survived\n Class \r\n\nAge\n", 0, ""},
        {true, std::string(disk_format::kMaxHeading, 'h') + "\n", 0, ""},
        {true, "Survived\nClass", 2, "cut short"},
        {true,
         "Survived\nCl\x01"
         "ass\n",
         2, "control character"},
        {true, "A\n" + longHeading + "\n", 2, "at most 80"},
        {true, Lines("h", disk_format::kMaxHeadings) + "one more\n", 5001, "more than 5000"},
        {false, "\r\nTitle: T\n  \nsource:  S  \nSource:\tS2\n", 0, ""},
        {false, "Title: T\nTitel: x\n", 2, "unknown key 'Titel'; the keys are Title, Source, Publisher"},
        {false, "Notes\n", 1, "not a line 'Key: value'"},
        {false, "Notes:   \n", 1, "Notes has no value"},
        {false, "Title: a\x7f\n", 1, "control character"},
        {false, "Notes: " + std::string(disk_format::kMaxProvenanceValue + 1, 'n') + "\n", 1, "at most 1000"},
        {false, Lines("Notes: n", disk_format::kMaxProvenanceEntries) + "Notes: n\n", 65, "more than 64"},
        {false, "Title: T", 1, "cut short"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        database_about::Fault fault;
        std::vector<std::string> headings;
        std::vector<ProvenanceEntry> provenance;
        const bool parsed = c.headings ? database_about::ParseHeadings(c.text, headings, fault)
                                       : database_about::ParseProvenance(c.text, provenance, fault);
        EXPECT_EQ(parsed, c.faultLine == 0);
        if (!parsed) {
            EXPECT_EQ(fault.line, c.faultLine);
            EXPECT_NE(fault.reason.find(c.reason), std::string::npos) << fault.reason;
            EXPECT_TRUE(headings.empty() && provenance.empty());
        }
    }
    // What the parses give, and the texts they write back.
    std::vector<std::string> headings;
    std::vector<ProvenanceEntry> provenance;
    database_about::Fault fault;
    ASSERT_TRUE(database_about::ParseHeadings("Survived\n Class \r\n\nAge\n", headings, fault));
    EXPECT_EQ(headings, (std::vector<std::string>{"Survived", "Class", "", "Age"}));
    EXPECT_EQ(database_about::HeadingsText(headings), "Survived\nClass\n\nAge\n");
    ASSERT_TRUE(
        database_about::ParseProvenance("\r\nTitle: T\n  \nsource:  S  \nSource:\tS2\n", provenance, fault));
    EXPECT_EQ(database_about::ProvenanceText(provenance), "Title: T\nSource: S\nSource: S2\n");
}

TEST(DatabaseAbout, ReadsAreCheckedAndADiskWithoutThemHasNone) {
    TempDir data;
    CDirectories dirs;
    dirs.SetDataDir(data.Path().c_str());
    DatabaseAbout about;
    EXPECT_FALSE(ReadDatabaseAbout(dirs, 3, about).Failed());
    EXPECT_TRUE(about.headings.empty() && about.provenance.empty());

    WriteFileBytes(data.File("titan.fld"), "Survived\nClass\n");
    WriteFileBytes(data.File("titan.src"), "Title: Titanic\nPublisher: P\n");
    ASSERT_FALSE(ReadDatabaseAbout(dirs, 3, about).Failed());
    EXPECT_EQ(about.headings, (std::vector<std::string>{"Survived", "Class"}));
    EXPECT_EQ(about.provenance, (std::vector<ProvenanceEntry>{{"Title", "Titanic"}, {"Publisher", "P"}}));

    const struct {
        const char* file;
        std::string bytes;  // empty: a folder
        StoreErrorKind kind;
        const char* message;
    } damaged[] = {
        {"titan.src", "Title: Titanic\nWho: me\n", StoreErrorKind::DamagedDescription,
         "The file titan.src of the data disk is damaged (line 2)."},
        {"titan.fld", std::string(disk_format::kMaxHeadingsFile + 1, '\n'),
         StoreErrorKind::DamagedDescription, "The file titan.fld of the data disk is damaged."},
        {"titan.fld", "", StoreErrorKind::OpenFailed, "Could not open titan.fld: Is a directory."},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.message);
        TempDir disk;
        CDirectories on;
        on.SetDataDir(disk.Path().c_str());
        if (d.bytes.empty()) {
            std::filesystem::create_directory(disk.File(d.file));
        } else {
            WriteFileBytes(disk.File(d.file), d.bytes);
        }
        const StoreError error = ReadDatabaseAbout(on, 3, about);
        EXPECT_EQ(error.kind, d.kind);
        EXPECT_EQ(search_messages::MessageOf(error), d.message);
        EXPECT_TRUE(about.headings.empty() && about.provenance.empty());
        FieldHeadings headings;
        EXPECT_TRUE(ReadFieldHeadings(on, 3, headings).Failed() == (std::string(d.file) == "titan.fld"));
        EXPECT_FALSE(headings.AnyOnDisk());
    }
}

TEST(FieldHeadingsTest, TheDisksHeadingElseTheLabelTablesElseItsNumber) {
    const struct {
        int code;
        std::vector<std::string> disk;
        std::size_t k;
        const char* heading;
    } cases[] = {
        {3, {}, 0, "Survived"},                       // "_Survived: " without its marks
        {3, {}, 3, "Field 4"},                        // the passenger list labels one field
        {2, {}, 0, "Rank and Organization"},          //
        {2, {}, 3, "Field 4"},                        // a hidden field
        {12, {}, 1, "Field 2"},                       // a field joined to the line before
        {9, {}, 16, "Field 17"},                      // past the roll's end mark
        {14, {}, 6, "Microfilm Reference"},           // a heading without a colon
        {0, {}, 0, "Field 1"},                        // no database
        {3, {"Survived", "", "Age"}, 1, "Field 2"},   // a field the disk leaves without
        {3, {"Survived", "Class", "Age"}, 2, "Age"},  //
        {3, {"Survived", "Class"}, 4, "Field 5"},     // past the disk's headings
        {2, {"", "When and where"}, 0, "Rank and Organization"},
        {2, {"", "When and where"}, 1, "When and where"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FieldHeadings(c.code, c.disk).Of(c.k), c.heading) << c.code << " " << c.k;
    }
}

TEST(FieldHeadingsTest, AFieldIsChosenAndNamedByTheHeadingTheDiskGivesIt) {
    using record_fields::FieldChoice;
    using record_fields::SlotOfField;
    const FieldHeadings titan(3,
                              {"Survived", "Class", "Age", "Ticket", "Fare", "Cabin", "Port of embarkation"});
    const FieldHeadings memorial(12, {"Middle name", "Rank", "Pay grade", "Organization"});
    const struct {
        const FieldHeadings* headings;
        const char* field;
        std::vector<int> slots;
    } cases[] = {
        {&titan, "port of EMBARKATION", {SlotOfField(6)}},
        {&titan, "Survived:", {SlotOfField(0)}},
        {&titan, "7", {SlotOfField(6)}},
        {&titan, "Boat", {}},
        // The label table's heading still covers its joined fields.
        {&memorial, "Middle Name", {SlotOfField(0), SlotOfField(1), SlotOfField(2)}},
        {&memorial, "pay grade", {SlotOfField(2)}},
    };
    for (const auto& c : cases) {
        FieldChoice choice;
        std::string error;
        ASSERT_TRUE(record_fields::ParseFieldChoice(c.field, choice, error)) << error;
        const record_fields::FieldSet set = record_fields::FieldSetOf(*c.headings, choice);
        std::vector<int> slots;
        for (int slot = 0; slot < 30; ++slot) {
            if (set.Has(slot)) slots.push_back(slot);
        }
        EXPECT_EQ(slots, c.slots) << c.field;
    }
    EXPECT_EQ(record_fields::LabelOfSlot(titan, SlotOfField(6)).heading, "Port of embarkation");
    EXPECT_EQ(record_fields::LabelOfSlot(FieldHeadings(3), SlotOfField(6)).number, 7);
    EXPECT_EQ(record_fields::LabelOfSlot(memorial, SlotOfField(1)).heading, "Rank");
    EXPECT_EQ(record_fields::HeadingsOf(FieldHeadings(3, {"Survived", "", "age", "Age"})),
              (std::vector<std::string>{"Survived", "age"}));
    EXPECT_EQ(record_fields::HeadingsOfAll({FieldHeadings(3, {"Survived", "Class"}), FieldHeadings(13)}),
              (std::vector<std::string>{"Survived", "Class", "Place", "Date"}));
}

FoundPerson Passenger(std::vector<std::string> fields, std::vector<std::string> headings) {
    FoundPerson person;
    person.code = 3;
    person.entry = 7;
    person.surname = "ALLEN";
    person.givenNames = "Elisabeth Walton";
    person.fields = std::move(fields);
    person.headings = std::move(headings);
    return person;
}

TEST(WholeRecordTest, EveryFieldThatIsNotBlankUnderItsHeadingThenTheProvenance) {
    const std::vector<ProvenanceEntry> provenance = {
        {"Licence", "CC0"}, {"Source", "Encyclopedia Titanica"}, {"Title", "Titanic"}, {"Source", "Second"}};
    const struct {
        FoundPerson person;
        std::vector<ProvenanceEntry> provenance;
        const char* text;
    } cases[] = {
        {Passenger({"3", "1st", " ", "", " 29 ", "B5"}, {"Survived", "Class", "Boat", "Body"}), provenance,
         "Survived: Yes\r\nClass: 1st\r\nField 5: 29\r\nField 6: B5\r\n\r\nTitle: Titanic\r\nSource: "
         "Encyclopedia "
         "Titanica\r\nSource: Second\r\nLicence: CC0"},
        {Passenger({"0"}, {}), {}, "Survived: No"},
        {Passenger({" ", "3rd"}, {"Survived"}), {}, "Survived: No\r\nField 2: 3rd"},
        {Passenger({}, {}), {{"Title", "T"}}, "Title: T"},
    };
    for (const auto& c : cases) EXPECT_EQ(whole_record::Text(c.person, c.provenance), c.text);
    EXPECT_EQ(whole_record::FieldsOf(cases[0].person)[2], (HeadedField{"Boat", ""}));
    EXPECT_EQ(printed_record::Text(cases[1].person, {}, CalendarDate{2026, 1, 3}),
              "Survived: No\r\n\r\nPrinted 3 January 2026.");
}

TEST(WholeRecordTest, CsvColumnsAreHeadingsWithEmptyCellsAndNoneThatNobodyFills) {
    FoundPerson civ;
    civ.code = 2;
    civ.surname = "CHAMBERLAIN";
    civ.givenNames = "Joshua L.";
    civ.fields = {"Colonel", " ", "Brunswick", " ", "", "", "Birth, Maine"};
    civ.headings = FieldHeadings(2, {"Rank", "Place and date", "Entered service at", "Unused",
                                     "Accredited to", "Order", "Birth"})
                       .First(civ.fields.size());
    FoundPerson ww1 = civ;
    ww1.code = 6;
    ww1.surname = "YORK";
    ww1.givenNames = "Alvin";
    ww1.fields = {"Sergeant", "Argonne", "", "", "", "", "Tennessee", "13 December 1887"};
    ww1.headings = FieldHeadings(6, {"rank", "Place and date", "", "", "", "", "BIRTH", "Born"}).First(8);
    const FoundPerson titan = Passenger({"0", "3rd", " "}, {"Survived", "Class", "Boat"});

    CFoundCsv csv;
    for (const FoundPerson* person : std::vector<const FoundPerson*>{&civ, &ww1, &titan}) csv.Survey(*person);
    EXPECT_EQ(
        csv.Header() + csv.Row(civ) + csv.Row(ww1) + csv.Row(titan),
        "database,surname,given_names,Rank,Place and date,Entered service at,Birth,Born,Survived,Class\r\n"
        "civmoh,CHAMBERLAIN,Joshua L.,Colonel,,Brunswick,\"Birth, Maine\",,,\r\n"
        "ww1moh,YORK,Alvin,Sergeant,Argonne,,Tennessee,13 December 1887,,\r\n"
        "titan,ALLEN,Elisabeth Walton,,,,,,No,3rd\r\n");
    ExportedHit hit;
    static_cast<FoundPerson&>(hit) = titan;
    hit.headings.clear();  // a person made without them: the label table's
    EXPECT_EQ(hit_export::AsCsv(3, {hit}),
              "surname,given_names,Survived,Field 2\r\nALLEN,Elisabeth Walton,No,3rd\r\n");
}

}  // namespace
