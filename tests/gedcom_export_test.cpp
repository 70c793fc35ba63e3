// The family-tree export and the citations: which dates become events, the
// written case of surnames, what a disk's marker says, the citation texts,
// and the rules every exported file keeps.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "browse/export/citation.h"
#include "browse/export/gedcom_writer.h"
#include "browse/export/person_events.h"
#include "browse/export/surname_case.h"
#include "store/disk_label.h"
#include "support/gedcom_lines.h"

namespace {

using gedcom_lines::Joined;
using gedcom_lines::Line;
using gedcom_lines::Lines;
using gedcom_lines::RecordLines;
using gedcom_lines::Records;
using gedcom_lines::RuleBreaks;

FoundPerson Person(int code, std::int32_t entry, std::string surname, std::string given,
                   std::vector<std::string> fields, std::string text = "") {
    FoundPerson person;
    person.code = code;
    person.entry = entry;
    person.surname = std::move(surname);
    person.givenNames = std::move(given);
    person.fields = std::move(fields);
    person.text = std::move(text);
    return person;
}

CitationContext Context(std::string diskName = "Chronara data disk", std::string version = "") {
    CitationContext context;
    context.disk.name = std::move(diskName);
    context.disk.version = std::move(version);
    context.date = CalendarDate{2026, 1, 9};
    context.program = "1.2.3";
    return context;
}

CitationContext WithProvenance(int code, std::vector<ProvenanceEntry> provenance) {
    CitationContext context = Context();
    context.provenance[code] = std::move(provenance);
    return context;
}

// The births and deaths of a person.
std::string EventsText(const FoundPerson& person) {
    std::string text;
    for (const PersonEvent& event : person_events::EventsOf(person)) {
        if (event.tag != "BIRT" && event.tag != "DEAT") continue;
        text += (text.empty() ? "" : " | ") + event.tag;
        if (!event.date.empty()) text += " " + event.date;
        if (!event.place.empty()) text += " @ " + event.place;
    }
    return text;
}

// A disk made elsewhere heads the fields by the label tables alone.
TEST(GedcomExport, BirthsAndDeathsFromFieldsTheLabelTablesHead) {
    const std::string none;
    struct Case {
        int code;
        std::vector<std::string> fields;
        std::string events;
    } cases[] = {
        // Civil War Medal of Honor: Birth is a date and the place after it.
        {2, {"Pvt", "", "", "", "", "", "1843, Germany"}, "BIRT 1843 @ Germany"},
        {2,
         {"Pvt", "", "", "", "", "", " 9 Feb. 1840, Leipsic, Kent County, Del. "},
         "BIRT 9 FEB 1840 @ Leipsic, Kent County, Del."},
        {2, {"Pvt", "", "", "", "", "", "Germany"}, "BIRT @ Germany"},  // a place only
        {2, {"Pvt", "", "", "", "", "", "abt. 1840, Ohio"}, "BIRT ABT 1840 @ Ohio"},
        {2, {"Pvt", "", "", "", "", "", "1840-1845"}, "BIRT BET 1840 AND 1845"},
        {2, {"Pvt", "", "", "", "", "", "1840 or 1841, Ohio"}, "BIRT BET 1840 AND 1841 @ Ohio"},
        {2, {"Pvt", "", "", "", "", "", "August 1842, Ohio"}, "BIRT AUG 1842 @ Ohio"},
        {2, {"Pvt", "", "", "", "", "", "Mexico, 9 June 1845"}, none},          // the place first
        {2, {"Pvt", "", "", "", "", "", "11 May 1 836, N.H."}, none},           // a broken year
        {2, {"Pvt", "", "", "", "", "", "31 April 1840"}, none},                // no such day
        {2, {"Pvt", "", "", "", "", "", "1843, Ward 5, Boston"}, "BIRT 1843"},  // more than a place
        {2, {"Pvt", "12 May 1864", "", "", "", "", " "}, none},                 // a date of action
        // The later Medal of Honor rolls: Born is the date, Birth the place.
        {5,
         {"", "", "", "", "", "", "West Point, N.Y.", "14 December 1944"},
         "BIRT 14 DEC 1944 @ West Point, N.Y."},
        {7, {"", "", "", "", "", "", "June 15, 1922, Miami, AZ", " "}, "BIRT 15 JUN 1922 @ Miami, AZ"},
        {7, {"", "", "", "", "", "", " ", "1920"}, "BIRT 1920"},
        {6, {"", "", "", "", "", "", "Finland", " "}, "BIRT @ Finland"},
        {7, {"", "", "", "", "", "", "9/28/17", " "}, none},  // a two-digit year
        // Generals: Born and Died.
        {1,
         {"March 2, 1810, Wilkes County, GA", "15 Dec 1885"},
         "BIRT 2 MAR 1810 @ Wilkes County, GA | DEAT 15 DEC 1885"},
        // Graves: the date of death of the killed and the dead, not of the missing.
        {11,
         {"J", "Ohio", "Sgt", "1st Inf", "20 July 1942", "Cambridge", "Killed in action"},
         "DEAT 20 JUL 1942"},
        {11,
         {"J", "Ohio", "Sgt", "1st Inf", "4 November 1951", "Cambridge", "Died, non-battle"},
         "DEAT 4 NOV 1951"},
        {11, {"J", "Ohio", "Sgt", "1st Inf", "20 July 1942", "Cambridge", "Missing in action"}, none},
        // Wills: the date is of the grant of probate, not of a death.
        {13, {"Ludlow, Shropshire", "22 February 1834", "Spinster"}, none},
    };
    for (const Case& c : cases) {
        const FoundPerson person = Person(c.code, 0, "X", "Y", c.fields);
        EXPECT_EQ(EventsText(person), c.events) << c.code << " " << c.fields.back();
    }
}

TEST(GedcomExport, SurnamesTakeTheCaseATreeWrites) {
    const std::pair<std::string, std::string> cases[] = {
        {"SMITH", "Smith"},
        {"  SMITH   JONES ", "Smith Jones"},
        {"SMITH-JONES", "Smith-Jones"},
        {"M\xfcLLER", "M\xfcller"},  // the index upper-cases a-z only
        {"\xc9LISE \xd8STERG\xc5RD", "\xc9lise \xd8sterg\xe5rd"},
        {"O'BRIEN", "O'Brien"},
        {"D'ARCY", "D'Arcy"},
        {"MCCOY", "McCoy"},
        {"MACLEOD", "Macleod"},
        {"VAN BUREN", "Van Buren"},
        {"DE LA CRUZ", "De la Cruz"},
        {"VAN DER MEER", "Van der Meer"},
        {"STRAUSS", "Strauss"},
        {"\x8a\x8cR", "\x8a\x9cr"},  // Š and Œ
    };
    for (const auto& [upper, written] : cases) EXPECT_EQ(SurnameInWrittenCase(upper), written) << upper;
}

TEST(GedcomExport, DiskLabelsComeFromTheMarkersText) {
    struct Case {
        std::string marker;
        std::string name;
        std::string version;
    } cases[] = {
        {"Chronara data disk\n", "Chronara data disk", ""},
        {"\r\n  Civil War disk  \r\nVersion: 3.1\r\n", "Civil War disk", "3.1"},
        {"version=7\nDisk of graves\n", "Disk of graves", "7"},
        {"Versions of the past\n", "Versions of the past", ""},
        {"", kPromptDiskName, ""},
        {std::string("MZ\x90\0\x03\0", 6), kPromptDiskName, ""},  // not text
        {"Name\x01with a control byte", kPromptDiskName, ""},
        {std::string(100, 'x'), std::string(80, 'x'), ""},
    };
    for (const Case& c : cases) {
        const DiskLabel label = disk_label::Parse(c.marker);
        EXPECT_EQ(label.name, c.name) << c.marker;
        EXPECT_EQ(label.version, c.version) << c.marker;
    }
}

TEST(GedcomExport, CitationTextsByteForByte) {
    struct Case {
        FoundPerson person;
        CitationContext context;
        Citation expected;
    } cases[] = {
        {Person(8, 1864, "SMITH", "Jon", {}),
         Context(),
         {"\"War of 1812,\" database, Chronara data disk (a data disk read with Chronara 1.2.3), entry 1864 "
          "for Jon Smith; consulted 9 January 2026.",
          "\"War of 1812,\" entry 1864 for Jon Smith.",
          "\"War of 1812.\" Database. Chronara data disk. A data disk read with Chronara 1.2.3."}},
        {Person(9, 0, "O'BRIEN", "  ", {}),
         Context("Civil War disk", "3"),
         {"\"Roll of Honor,\" database, Civil War disk, version 3 (a data disk read with Chronara 1.2.3), "
          "entry 0 for O'Brien; consulted 9 January 2026.",
          "\"Roll of Honor,\" entry 0 for O'Brien.",
          "\"Roll of Honor.\" Database. Civil War disk, version 3. A data disk read with Chronara 1.2.3."}},
        {Person(13, -1, "M\xfcLLER", "Fran\xe7oise", {}),
         Context(kPromptDiskName),
         {"\"U.K. Wills,\" database, Tavora Disk 16 (Chronara) (a data disk read with Chronara 1.2.3), the "
          "entry for Fran\xe7oise M\xfcller; consulted 9 January 2026.",
          "\"U.K. Wills,\" the entry for Fran\xe7oise M\xfcller.",
          "\"U.K. Wills.\" Database. Tavora Disk 16 (Chronara). A data disk read with Chronara 1.2.3."}},
        // Where the disk says where the records came from, they are named so.
        {Person(3, 12, "ALLEN", "Elisabeth Walton", {}),
         WithProvenance(3, {{"Source", "Encyclopedia Titanica"},
                            {"Title", "Titanic passenger list"},
                            {"Publisher", "Example Society Ltd."},
                            {"Source", "Board of Trade lists"},
                            {"Title", "A second title"}}),
         {"\"Titanic passenger list,\" database, Example Society Ltd. (Chronara data disk, read with "
          "Chronara "
          "1.2.3), entry 12 for Elisabeth Walton Allen; consulted 9 January 2026; citing Encyclopedia "
          "Titanica; "
          "Board of Trade lists.",
          "\"Titanic passenger list,\" entry 12 for Elisabeth Walton Allen.",
          "\"Titanic passenger list.\" Database. Example Society Ltd. Chronara data disk, read with Chronara "
          "1.2.3. Citing Encyclopedia Titanica; Board of Trade lists."}},
        // A title alone: the disk stays the publisher; another database's provenance is not this one's.
        {Person(8, 5, "SMITH", "Jon", {}),
         WithProvenance(8, {{"Title", "War of 1812 muster rolls (invented)"}}),
         {"\"War of 1812 muster rolls (invented),\" database, Chronara data disk (a data disk read with "
          "Chronara 1.2.3), entry 5 for Jon Smith; consulted 9 January 2026.",
          "\"War of 1812 muster rolls (invented),\" entry 5 for Jon Smith.",
          "\"War of 1812 muster rolls (invented).\" Database. Chronara data disk. A data disk read with "
          "Chronara 1.2.3."}},
        {Person(8, 5, "SMITH", "Jon", {}),
         WithProvenance(3, {{"Title", "Titanic passenger list"}}),
         {"\"War of 1812,\" database, Chronara data disk (a data disk read with Chronara 1.2.3), entry 5 for "
          "Jon Smith; consulted 9 January 2026.",
          "\"War of 1812,\" entry 5 for Jon Smith.",
          "\"War of 1812.\" Database. Chronara data disk. A data disk read with Chronara 1.2.3."}},
    };
    for (const Case& c : cases) {
        const Citation cited = citation::Of(c.person, c.context);
        EXPECT_EQ(cited.fullNote, c.expected.fullNote);
        EXPECT_EQ(cited.shortNote, c.expected.shortNote);
        EXPECT_EQ(cited.sourceListEntry, c.expected.sourceListEntry);
    }
}

TEST(GedcomExport, OnePersonFileByteForByte) {
    const FoundPerson person =
        Person(11, 42, "SMITH", "John Henry",
               {"J", "Ohio", "Sgt", "1st Inf", "20 July 1942", "Cambridge", "Killed in action"},
               "Middle Initial: \r\nJ\r\n\r\nDate of Death: \r\n20 July 1942");
    const std::string page =
        "PAGE WWII and Korea: Graves and Monuments, surname SMITH, given names John Henry, entry 42";
    const std::string expected =
        "0 HEAD\r\n1 SOUR CHRONARA\r\n2 VERS 1.2.3\r\n2 NAME Chronara\r\n1 DATE 9 JAN 2026\r\n"
        "1 SUBM @U1@\r\n1 GEDC\r\n2 VERS 5.5.1\r\n2 FORM LINEAGE-LINKED\r\n1 CHAR UTF-8\r\n"
        "0 @U1@ SUBM\r\n1 NAME Chronara user\r\n"
        "0 @I1@ INDI\r\n1 NAME John Henry /Smith/\r\n2 GIVN John Henry\r\n2 SURN Smith\r\n1 SEX U\r\n"
        "1 RESI\r\n2 TYPE Inducted from\r\n2 PLAC Ohio\r\n2 SOUR @S11@\r\n3 " +
        page +
        "\r\n"
        "1 EVEN\r\n2 TYPE Military Service\r\n2 NOTE Rank: Sgt\r\n3 CONT Combat Org: 1st Inf\r\n2 SOUR "
        "@S11@\r\n3 " +
        page +
        "\r\n"
        "1 DEAT\r\n2 DATE 20 JUL 1942\r\n2 NOTE Status: Killed in action\r\n2 SOUR @S11@\r\n3 " +
        page +
        "\r\n"
        "1 BURI\r\n2 PLAC Cambridge\r\n2 NOTE Monument: Cambridge\r\n2 SOUR @S11@\r\n3 " +
        page +
        "\r\n"
        "1 SOUR @S11@\r\n2 " +
        page +
        "\r\n"
        "2 DATA\r\n3 TEXT Middle Initial: J\r\n4 CONT Inducted From: Ohio\r\n4 CONT Rank: Sgt\r\n"
        "4 CONT Combat Org: 1st Inf\r\n4 CONT Date of Death: 20 July 1942\r\n4 CONT Monument: Cambridge\r\n"
        "4 CONT Status: Killed in action\r\n"
        "0 @S11@ SOUR\r\n1 TITL WWII and Korea: Graves and Monuments\r\n1 PUBL Chronara data disk\r\n"
        "1 NOTE Read from Chronara data disk with Chronara 1.2.3.\r\n"
        "2 CONT Fields of each record, in order: Middle Initial; Inducted From; Rank; Combat Org; Date of "
        "Death; Monument; Status\r\n"
        "0 TRLR\r\n";
    EXPECT_EQ(gedcom::Document(std::vector<FoundPerson>{person}, Context()), expected);
}

TEST(GedcomExport, EveryFileKeepsTheFormatsRules) {
    // A long line: words, then a run without blanks of two-byte letters and
    // '@', where a split must fall between characters and pairs.
    std::string words;
    while (words.size() < 400) words += "ab ";
    std::string run;
    for (int i = 0; i < 150; ++i) run += i % 7 == 0 ? "@" : "\xe9";
    const std::string longField = words + run + std::string(30, ' ') + "end";
    const std::vector<FoundPerson> people = {
        Person(2, 7, "M\xfcLLER", "Jos\xe9 \xc9lise", {"Pvt", "", "", "", "", "", "1843, K\xf6ln"},
               "Birth: \r\n1843, K\xf6ln"),
        Person(
            11, 3, "O'BRIEN", "",
            {"J", " mail@home @@ twice\x01\x90 controls", "Sgt", "", "1 May 1944", "", "Killed in action"}),
        Person(8, 12, "SMITH", std::string(254, '\xe9'), {"", "", "", "", "", longField}),
        Person(11, 4, "KING", "Ann", {"A"}, "\r\n\r\nMiddle Initial: \r\nA\r\n\r\n"),
    };
    const std::string file = gedcom::Document(people, Context("Disk @ home", "2"));
    EXPECT_EQ(RuleBreaks(file), std::vector<std::string>{});

    const std::vector<Line> lines = Lines(file);
    const std::map<std::string, std::size_t> records = Records(lines);
    // One source per database, four people.
    std::vector<std::string> ids;
    for (const auto& record : records) ids.push_back(record.first);
    EXPECT_EQ(ids,
              (std::vector<std::string>{"@I1@", "@I2@", "@I3@", "@I4@", "@S11@", "@S2@", "@S8@", "@U1@"}));
    EXPECT_EQ(Joined(lines, records.at("@S11@") + 2), "Disk @ home, version 2");

    const std::vector<std::string> first = RecordLines(lines, records.at("@I1@"));
    EXPECT_EQ(std::vector<std::string>(first.begin() + 1, first.begin() + 8),
              (std::vector<std::string>{"1 NAME Jos\xc3\xa9 \xc3\x89lise /M\xc3\xbcller/",
                                        "2 GIVN Jos\xc3\xa9 \xc3\x89lise", "2 SURN M\xc3\xbcller", "1 SEX M",
                                        "1 BIRT", "2 DATE 1843", "2 PLAC K\xc3\xb6ln"}));
    const std::vector<std::string> second = RecordLines(lines, records.at("@I2@"));
    EXPECT_EQ(second[1], "1 NAME /O'Brien/");
    EXPECT_EQ(second[2], "2 SURN O'Brien");

    // The citations' texts come back whole from their CONT and CONC lines,
    // a field a line, without blanks around it, controls as blanks.
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].tag == "TEXT") texts.push_back(Joined(lines, i));
    }
    std::string longText = "Other Information: " + words + run + std::string(30, ' ') + "end";
    for (std::size_t at; (at = longText.find('\xe9')) != std::string::npos;)
        longText.replace(at, 1, "\xc3\xa9");
    EXPECT_EQ(texts,
              (std::vector<std::string>{
                  "Rank and Organization: Pvt\nBirth: 1843, K\xc3\xb6ln",
                  "Middle Initial: J\nInducted From: mail@home @@ twice   controls\nRank: Sgt\nDate of "
                  "Death: 1 May 1944\nStatus: Killed in action",
                  longText, "Middle Initial: A"}));
    // A name over a line is cut to fit; the locator keeps its entry.
    const std::vector<std::string> third = RecordLines(lines, records.at("@I3@"));
    EXPECT_EQ(third[1].size(), 255u);
    std::string page;
    for (const std::string& line : third) page = line.compare(0, 7, "2 PAGE ") == 0 ? line : page;
    EXPECT_GE(page.size(), 250u);
    EXPECT_NE(page.find("..., entry 12"), std::string::npos) << page;
}

TEST(GedcomExport, AFailedSinkEndsTheExport) {
    int pieces = 0;
    CGedcomWriter writer(Context(), [&pieces](const std::string&) { return ++pieces > 1; });
    const FoundPerson person = Person(8, 1, "SMITH", "Jon", {std::string(4000, 'x')});
    bool added = true;
    for (int i = 0; i < 100 && added; ++i) added = writer.Add(person);
    EXPECT_FALSE(added);
    EXPECT_FALSE(writer.Finish());
    EXPECT_EQ(pieces, 1);
}

}  // namespace
