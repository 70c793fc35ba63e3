// The family-tree record of a person: dates and places as a tree writes
// them, each database's fields as events and facts, names with titles,
// nicknames and maiden names, sexes only where the record says them, and
// the source named by the disk's provenance.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "browse/export/event_fields.h"
#include "browse/export/gedcom_writer.h"
#include "browse/export/person_events.h"
#include "browse/export/person_name.h"
#include "support/gedcom_lines.h"

namespace {

using gedcom_lines::Joined;
using gedcom_lines::Lines;
using gedcom_lines::RecordLines;
using gedcom_lines::Records;
using gedcom_lines::RuleBreaks;
using Headed = std::vector<std::pair<std::string, std::string>>;

// A person of database code whose record has these fields under these headings.
FoundPerson Record(int code, std::string surname, std::string given, const Headed& fields) {
    FoundPerson person;
    person.code = code;
    person.entry = 7;
    person.surname = std::move(surname);
    person.givenNames = std::move(given);
    for (const auto& [heading, value] : fields) {
        person.headings.push_back(heading);
        person.fields.push_back(value);
    }
    return person;
}

// "TAG [type] value date @ place {note / note}" for each event, " | " between.
std::string EventsText(const FoundPerson& person) {
    std::string text;
    for (const PersonEvent& event : person_events::EventsOf(person)) {
        text += (text.empty() ? "" : " | ") + event.tag;
        if (!event.type.empty()) text += " [" + event.type + "]";
        if (!event.value.empty()) text += " " + event.value;
        if (!event.date.empty()) text += " " + event.date;
        if (!event.place.empty()) text += " @ " + event.place;
        for (std::size_t i = 0; i < event.note.size(); ++i) text += (i == 0 ? " {" : " / ") + event.note[i];
        if (!event.note.empty()) text += "}";
    }
    return text;
}

TEST(GedcomRecord, DatesAndPlacesReadAsATreeWritesThem) {
    struct Case {
        std::string field;
        std::string read;  // "date @ place", "date @ place +" when more is left, "-" for neither
    } cases[] = {
        {"1843, Germany", "1843 @ Germany"},
        {" 9 Feb. 1840, Leipsic, Kent County, Del. ", "9 FEB 1840 @ Leipsic, Kent County, Del."},
        {"June 15, 1922, Miami, AZ", "15 JUN 1922 @ Miami, AZ"},
        {"14 December 1944", "14 DEC 1944 @ "},
        {"August 1842, Ohio", "AUG 1842 @ Ohio"},
        {"Brewer, Maine", " @ Brewer, Maine"},
        {"abt. 1840, Ohio", "ABT 1840 @ Ohio"},
        {"circa 1790", "ABT 1790 @ "},
        {"before 1 May 1862", "BEF 1 MAY 1862 @ "},
        {"After 1850", "AFT 1850 @ "},
        {"1840 or 1841, Ohio", "BET 1840 AND 1841 @ Ohio"},
        {"1840-1845", "BET 1840 AND 1845 @ "},
        {"March 1862 to June 1865", "BET MAR 1862 AND JUN 1865 @ "},
        {"1843, Ward 5, Boston", "1843 @  +"},  // more than a place: the field goes to the note
        {"Mexico, 9 June 1845", "-"},           // the place first
        {"11 May 1 836, N.H.", "-"},            // a broken year
        {"31 April 1840", "-"},                 // no such day
        {"9/28/17", "-"},                       // a two-digit year
        {"0843", "-"},                          // no year of the records
        {" ", "-"},
    };
    for (const Case& c : cases) {
        event_fields::EventField read;
        const std::string got = event_fields::ReadEventField(c.field, read)
                                    ? read.date + " @ " + read.place + (read.whole ? "" : " +")
                                    : "-";
        EXPECT_EQ(got, c.read) << c.field;
    }
}

TEST(GedcomRecord, EachDatabasesFieldsBecomeItsEvents) {
    const std::string citation =
        "Daring heroism and great tenacity in holding his position on the Little Round Top against repeated "
        "assaults, and carrying the advance position on the Great Round Top.";
    struct Case {
        FoundPerson person;
        std::string events;
    } cases[] = {
        // Civil War Medal of Honor: the birth's place in Birth and its date in Born.
        {Record(2, "CHAMBERLAIN", "Joshua L.",
                {{"Rank and organization", "Colonel, 20th Maine Infantry, U.S. Army"},
                 {"Place and date", "2 July 1863"},
                 {"Entered service at", "Brunswick, Maine"},
                 {"", " "},
                 {"Accredited to", " "},
                 {"G.O. number", " "},
                 {"Birth", "Brewer, Maine"},
                 {"", " "},
                 {"Date of issue", "11 August 1893"},
                 {"Citation", citation},
                 {"Born", "8 September 1828"}}),
         "BIRT 8 SEP 1828 @ Brewer, Maine | RESI [Entered service at] @ Brunswick, Maine | EVEN [Military "
         "Service] {Rank and organization: Colonel, 20th Maine Infantry, U.S. Army} | EVEN [Medal of Honor] "
         "2 "
         "JUL 1863 {" +
             citation + " / Date of issue: 11 August 1893}"},
        // The later rolls: a birth year in Born, the place in Birth.
        {Record(7, "X", "Y", {{"Birth", "Toledo, Ohio."}, {"Born", "1920"}, {"Place and date", " "}}),
         "BIRT 1920 @ Toledo, Ohio."},
        // Generals: Born and Died with their places; rank and service.
        {Record(1, "X", "Y",
                {{"Born", "March 2, 1810, Wilkes County, GA"},
                 {"Died", "abt. 1885"},
                 {"Prewar profession", "Lawyer"},
                 {"War service", "Major General."},
                 {"Postwar career", "Governor"},
                 {"Rank", "Major General"}}),
         "BIRT 2 MAR 1810 @ Wilkes County, GA | OCCU Lawyer | EVEN [Military Service] {War service: Major "
         "General. / Rank: Major General} | DEAT ABT 1885"},
        // The passenger list: home or destination.
        {Record(3, "X", "Y", {{"Survived", "3"}, {"Home or destination", "St Louis, MO"}, {"Title", "Miss"}}),
         "RESI [Home or destination] @ St Louis, MO"},
        // War of 1812: the service.
        {Record(8, "X", "Y",
                {{"Middle initial", "M"},
                 {"Unit", "14th Regiment, New Jersey Militia"},
                 {"Final rank", "Private"}}),
         "EVEN [Military Service] {Unit: 14th Regiment, New Jersey Militia / Final rank: Private}"},
        // Roll of honor: references alone.
        {Record(9, "X", "Y", {{"Middle initial", "E"}, {"Reference 1", "6 137"}}), ""},
        // Prisoners of war: residence, service, capture with the camp as place.
        {Record(10, "X", "Y",
                {{"State", "Washington"},
                 {"Corps", "Coast Artillery"},
                 {"Capture", "13 March 1942"},
                 {"Camp name", "Stalag VII A"},
                 {"City served by camp", "Moosburg"},
                 {"Camp region", "Bavaria"},
                 {"Camp country", "Germany"},
                 {"POW status", "Escaped"}}),
         "RESI [State of residence] @ Washington | EVEN [Military Service] {Corps: Coast Artillery} | EVEN "
         "[Prisoner of War] 13 MAR 1942 @ Stalag VII A, Moosburg, Bavaria, Germany {POW status: Escaped}"},
        {Record(10, "X", "Y",
                {{"Capture", "1942"}, {"Camp name", "Mukden"}, {"City served by camp", "mukden"}}),
         "EVEN [Prisoner of War] 1942 @ Mukden"},
        // Graves: birth, death, burial in the cemetery with its town; the grave in the note.
        {Record(11, "X", "Y",
                {{"Rank", "SSGT"},
                 {"Date of death", "10 June 2004"},
                 {"Monument", "FT. MCPHERSON NATIONAL CEMETERY, section V, site 77"},
                 {"Status", " "},
                 {"Date of birth", "10 June 1921"},
                 {"Cemetery address", "12004 S SPUR 56A, 69151"},
                 {"City", "MAXWELL"},
                 {"State", "NE"},
                 {"War", "WORLD WAR II"}}),
         "BIRT 10 JUN 1921 | EVEN [Military Service] {Rank: SSGT / War: WORLD WAR II} | DEAT 10 JUN 2004 | "
         "BURI @ FT. MCPHERSON NATIONAL CEMETERY, MAXWELL, NE {Monument: FT. MCPHERSON NATIONAL CEMETERY, "
         "section V, site 77 / Cemetery address: 12004 S SPUR 56A, 69151}"},
        // A date of the missing in action is no date of death.
        {Record(11, "X", "Y", {{"Date of death", "20 July 1942"}, {"Status", "Missing in action"}}), ""},
        {Record(11, "X", "Y", {{"Date of death", "20 July 1942"}, {"Status", "Killed in action"}}),
         "DEAT 20 JUL 1942 {Status: Killed in action}"},
        // The Vietnam memorial: home of record from two fields.
        {Record(12, "X", "Y", {{"Rank", "LCPL"}, {"City", "Franklin"}, {"State", "LA"}}),
         "RESI [Home of record] @ Franklin, LA | EVEN [Military Service] {Rank: LCPL}"},
        // Wills: abode, death, the grant and the will; a married state is no occupation.
        {Record(13, "X", "Y",
                {{"Place", "the Town of Douglas"},
                 {"Date", "5 August 1873"},
                 {"Will or administration", "Will with a Codicil"},
                 {"Date of death", "27 April 1865"},
                 {"Place of death", "Douglas"},
                 {"Occupation or description", "Widow"},
                 {"Registry", "Wakefield"},
                 {"Relationship", "Son"}}),
         "RESI [Abode] @ the Town of Douglas | DEAT 27 APR 1865 @ Douglas | PROB [Will with a Codicil] 5 AUG "
         "1873 @ Wakefield {Registry: Wakefield / Relationship: Son} | WILL {Will or administration: Will "
         "with a Codicil}"},
        {Record(13, "X", "Y",
                {{"Date", "18 October 1873"},
                 {"Will or administration", "Administration"},
                 {"Occupation or description", "Merchant"},
                 {"Registry", "Principal Registry"}}),
         "OCCU Merchant | PROB [Administration] 18 OCT 1873 {Registry: Principal Registry}"},
        // Revolutionary War: service and burial.
        {Record(14, "X", "Y",
                {{"Unit", "US ARMY"},
                 {"Ending rank", "PVT"},
                 {"Date of birth", "7 March 1750"},
                 {"Cemetery", "BROOKSIDE CEM"},
                 {"City", "CHESTER"},
                 {"State or province", "VT"}}),
         "BIRT 7 MAR 1750 | EVEN [Military Service] {Unit: US ARMY / Ending rank: PVT} | BURI @ BROOKSIDE "
         "CEM, CHESTER, VT {Cemetery: BROOKSIDE CEM}"},
    };
    for (const Case& c : cases) EXPECT_EQ(EventsText(c.person), c.events) << c.person.code;
}

TEST(GedcomRecord, NamesAndSexesAsTheRecordSaysThem) {
    struct Case {
        FoundPerson person;
        std::string name;  // prefix|given|surname|nickname|birth surname|also known as
        const char* sex;
    } cases[] = {
        // The passenger list: the title field, maiden name, nickname, another name.
        {Record(3, "ASTOR", "Madeleine Talmadge",
                {{"Survived", "3"},
                 {"Title", "Mrs."},
                 {"Listed as", "Mrs. John Jacob Astor"},
                 {"Maiden name", "Force"}}),
         "Mrs.|Madeleine Talmadge|Astor||Force|", "F"},
        {Record(3, "ALLISON", "Hudson Trevor", {{"Survived", "0"}, {"Title", "Master"}}),
         "Master|Hudson Trevor|Allison|||", "M"},
        {Record(3, "DART", "Ellen", {{"Survived", "0"}, {"Title", "Miss"}, {"Known as", "Nellie"}}),
         "Miss|Ellen|Dart|Nellie||", "F"},
        {Record(3, "X", "Y", {{"Survived", "0"}, {"Title", "Mme"}}), "Mme|Y|X|||", "F"},
        {Record(3, "MORGAN", "Albert",
                {{"Survived", "0"}, {"Title", "Mr."}, {"Known as", "Mr George Thorne"}}),
         "Mr.|Albert|Morgan|||Mr George Thorne", "M"},
        {Record(3, "X", "Y", {{"Survived", "0"}, {"Title", "Dr."}}), "Dr.|Y|X|||", "U"},
        {Record(3, "X", "Y", {{"Survived", "0"}, {"Title", "Col. Oberst"}}), "Col. Oberst|Y|X|||", "U"},
        {Record(3, "PENASCO", "Maria Josefa (surname Penasco y Castellana)",
                {{"Survived", "3"}, {"Title", "Mrs."}}),
         "Mrs.|Maria Josefa|Penasco y Castellana|||", "F"},
        // No title field: a title opening the given names, not one standing alone.
        {Record(8, "SMITH", "Col. John", {{"Unit", "1st"}}), "Col.|John|Smith|||", "U"},
        {Record(8, "SMITH", "Mrs Mary Ann", {}), "Mrs|Mary Ann|Smith|||", "F"},
        {Record(8, "SMITH", "Major", {}), "|Major|Smith|||", "U"},
        // Wills: the title, the description, the executors' relationship.
        {Record(13, "X", "Y", {{"Title", "Dame"}}), "Dame|Y|X|||", "F"},
        {Record(13, "X", "Y", {{"Occupation or description", "Spinster"}}), "|Y|X|||", "F"},
        {Record(13, "X", "Y", {{"Occupation or description", "Gentleman a Bachelor"}}), "|Y|X|||", "M"},
        {Record(13, "X", "Y", {{"Occupation or description", "Farmer"}, {"Relationship", "Relict, Son"}}),
         "|Y|X|||", "M"},
        {Record(13, "X", "Y", {{"Relationship", "Husband"}}), "|Y|X|||", "F"},
        {Record(13, "X", "Y", {{"Relationship", "Son, Daughter"}}), "|Y|X|||", "U"},
        // Rolls of men only, and the one woman of the Medal of Honor.
        {Record(1, "LEE", "Robert Edward", {}), "|Robert Edward|Lee|||", "M"},
        {Record(4, "GRANT", "Ulysses S.", {}), "|Ulysses S.|Grant|||", "M"},
        {Record(2, "X", "Y", {{"Also known as", "John Smith"}}), "|Y|X|||John Smith", "M"},
        {Record(6, "X", "Y", {}), "|Y|X|||", "M"},
        {Record(2, "WALKER", "Mary E.", {}), "|Mary E.|Walker|||", "U"},
        // Nothing tells.
        {Record(11, "X", "Y", {}), "|Y|X|||", "U"},
        {Record(10, "X", "Y", {{"Rank", "Private"}}), "|Y|X|||", "U"},
    };
    for (const Case& c : cases) {
        const PersonName name = person_name::NameOf(c.person);
        EXPECT_EQ(name.prefix + "|" + name.given + "|" + name.surname + "|" + name.nickname + "|" +
                      name.birthSurname + "|" + name.alsoKnownAs,
                  c.name);
        EXPECT_STREQ(person_name::SexLetter(person_name::SexOf(c.person)), c.sex) << c.name;
    }
}

CitationContext Context() {
    CitationContext context;
    context.disk.name = "Chronara data disk";
    context.date = CalendarDate{2026, 1, 9};
    context.program = "1.2.3";
    return context;
}

TEST(GedcomRecord, APersonsRecordAndItsSourceLineByLine) {
    const FoundPerson astor = Record(3, "ASTOR", "Madeleine Talmadge",
                                     {{"Survived", "3"},
                                      {"Class", "1st class"},
                                      {"Home or destination", "New York, NY"},
                                      {"Title", "Mrs."},
                                      {"Listed as", "Mrs. John Jacob Astor"},
                                      {"Maiden name", "Force"},
                                      {"Known as", " "}});
    const std::string page =
        "PAGE Titanic Passenger List, surname ASTOR, given names Madeleine Talmadge, entry 7";
    const std::vector<std::string> person = {
        "0 @I1@ INDI",
        "1 NAME Madeleine Talmadge /Astor/",
        "2 TYPE married",
        "2 NPFX Mrs.",
        "2 GIVN Madeleine Talmadge",
        "2 SURN Astor",
        "1 NAME Madeleine Talmadge /Force/",
        "2 TYPE birth",
        "2 GIVN Madeleine Talmadge",
        "2 SURN Force",
        "1 SEX F",
        "1 RESI",
        "2 TYPE Home or destination",
        "2 PLAC New York, NY",
        "2 SOUR @S3@",
        "3 " + page,
        "1 NOTE Listed as: Mrs. John Jacob Astor",
        "1 SOUR @S3@",
        "2 " + page,
        "2 DATA",
        "3 TEXT Survived: Yes",
        "4 CONT Class: 1st class",
        "4 CONT Home or destination: New York, NY",
        "4 CONT Title: Mrs.",
        "4 CONT Listed as: Mrs. John Jacob Astor",
        "4 CONT Maiden name: Force",
    };
    const std::vector<std::string> withoutProvenance = {
        "0 @S3@ SOUR",
        "1 TITL Titanic Passenger List",
        "1 PUBL Chronara data disk",
        "1 NOTE Read from Chronara data disk with Chronara 1.2.3.",
        "2 CONT Fields of each record, in order: Survived; Class; Home or destination; Title; Listed as; "
        "Maiden name; Known as",
    };
    const std::vector<std::string> withProvenance = {
        "0 @S3@ SOUR",
        "1 TITL Titanic Passenger List (the titanic3 list)",
        "1 AUTH Vanderbilt University, Department of Biostatistics",
        "1 PUBL titanic3.csv, from Encyclopedia Titanica research; Board of Trade lists",
        "1 NOTE Read from Chronara data disk with Chronara 1.2.3.",
        "2 CONT Database: Titanic Passenger List",
        "2 CONT Licence: None stated",
        "2 CONT Notes: All 1,309 passengers.",
        "2 CONT Fields of each record, in order: Survived; Class; Home or destination; Title; Listed as; "
        "Maiden name; Known as",
    };
    for (bool provenance : {false, true}) {
        std::string file;
        CGedcomWriter writer(Context(), [&file](const std::string& piece) {
            file += piece;
            return true;
        });
        writer.Add(astor);
        if (provenance) {
            writer.AddProvenance(3, {{"Title", "Titanic Passenger List (the titanic3 list)"},
                                     {"Source", "titanic3.csv, from Encyclopedia Titanica research"},
                                     {"Notes", "All 1,309 passengers."},
                                     {"Publisher", "Vanderbilt University, Department of Biostatistics"},
                                     {"Licence", "None stated"},
                                     {"Source", "Board of Trade lists"}});
        }
        writer.Finish();
        EXPECT_EQ(RuleBreaks(file), std::vector<std::string>{});
        const auto lines = Lines(file);
        const auto records = Records(lines);
        EXPECT_EQ(RecordLines(lines, records.at("@I1@")), person);
        EXPECT_EQ(RecordLines(lines, records.at("@S3@")), provenance ? withProvenance : withoutProvenance);
    }
}

TEST(GedcomRecord, OnePersonOfSeveralRecordsCitesEachRecordForItsEvents) {
    // Chamberlain on the Medal of Honor roll and among the Union generals,
    // confirmed one man, and a will of another database: one INDI, each
    // event citing the record it came from, each record cited with its fields.
    const FoundPerson medal = Record(2, "CHAMBERLAIN", "Joshua L.",
                                     {{"Rank and organization", "Colonel, 20th Maine Infantry"},
                                      {"Place and date", "At Gettysburg, Pa., 2 July 1863"},
                                      {"Born", "8 September 1828, Brewer, Maine"}});
    FoundPerson general = Record(4, "CHAMBERLAIN", "Joshua Lawrence",
                                 {{"Born", "8 September 1828"}, {"Died", "24 February 1914"}});
    general.entry = 152;
    const std::string medalPage =
        "Civil War Medal of Honor, surname CHAMBERLAIN, given names Joshua L., entry 7";
    const std::string generalPage =
        "Union Generals, surname CHAMBERLAIN, given names Joshua Lawrence, entry 152";
    struct Case {
        const char* event;   // the event's tag and first line below it
        const char* source;  // the source its citation points to
        std::string page;
    };
    const Case cases[] = {
        {"1 BIRT/2 DATE 8 SEP 1828", "@S2@", medalPage},
        {"1 EVEN/2 TYPE Medal of Honor", "@S2@", medalPage},
        {"1 BIRT/2 DATE 8 SEP 1828", "@S4@", generalPage},
        {"1 DEAT/2 DATE 24 FEB 1914", "@S4@", generalPage},
    };
    std::string file;
    CGedcomWriter writer(Context(), [&file](const std::string& piece) {
        file += piece;
        return true;
    });
    writer.Add(medal, {general});
    writer.Finish();
    EXPECT_EQ(RuleBreaks(file), std::vector<std::string>{});
    const auto lines = Lines(file);
    const auto records = Records(lines);
    EXPECT_EQ(writer.People(), 1u);
    EXPECT_EQ(records.count("@I2@"), 0u);
    ASSERT_EQ(records.count("@S2@") + records.count("@S4@"), 2u);
    const std::vector<std::string> person = RecordLines(lines, records.at("@I1@"));
    EXPECT_EQ(person[1], "1 NAME Joshua L. /Chamberlain/");
    // Each event with the source and page its citation gives, in order.
    std::vector<std::string> cited;
    std::string event;
    std::string source;
    for (const std::string& line : person) {
        if (line.compare(0, 2, "1 ") == 0) {
            event = line;
        } else if (line.compare(0, 2, "2 ") == 0 && event.find('/') == std::string::npos &&
                   line.compare(0, 7, "2 SOUR ") != 0) {
            event += "/" + line;
        } else if (line.compare(0, 7, "2 SOUR ") == 0) {
            source = line.substr(7);
        } else if (line.compare(0, 7, "3 PAGE ") == 0) {
            cited.push_back(event + " " + source + " " + line.substr(7));
        }
    }
    std::vector<std::string> expected;
    for (const Case& c : cases) expected.push_back(std::string(c.event) + " " + c.source + " " + c.page);
    std::string all;
    for (const std::string& line : cited) all += line + "\n";
    for (const std::string& line : expected) {
        EXPECT_NE(std::find(cited.begin(), cited.end(), line), cited.end()) << line << "\n" << all;
    }
    // The citations of the person: one of each record, its fields its text.
    std::vector<std::string> citations;
    for (std::size_t k = 0; k + 1 < person.size(); ++k) {
        if (person[k].compare(0, 7, "1 SOUR ") == 0)
            citations.push_back(person[k].substr(7) + " " + person[k + 1]);
    }
    EXPECT_EQ(citations,
              (std::vector<std::string>{"@S2@ 2 PAGE " + medalPage, "@S4@ 2 PAGE " + generalPage}));
    EXPECT_NE(std::find(person.begin(), person.end(), "3 TEXT Born: 8 September 1828"), person.end());
    EXPECT_NE(std::find(person.begin(), person.end(), "4 CONT Died: 24 February 1914"), person.end());
}

TEST(GedcomRecord, TheArchiveAmongThePublishersIsTheRepository) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"U.S. National Archives and Records Administration (the catalogue of M804); U.S. Department of "
          "Veterans Affairs, National Cemetery Administration (the graves)"},
         "U.S. National Archives and Records Administration"},
        {{"Vanderbilt University, Department of Biostatistics (the titanic3 data set)"}, ""},
        {{"Example Society", "Essex Record Office"}, "Essex Record Office"},
        {{}, ""},
    };
    for (const auto& [publishers, archive] : cases) EXPECT_EQ(gedcom::ArchiveOf(publishers), archive);
    // The source points at it, and it is a record of its own with its address.
    std::string file;
    CGedcomWriter writer(Context(), [&file](const std::string& piece) {
        file += piece;
        return true;
    });
    writer.Add(Record(14, "WILDER", "Reuben", {{"Pension file", "W. 6545"}}));
    writer.AddProvenance(14, {{"Publisher", "U.S. National Archives and Records Administration (M804)"},
                              {"Address", "https://catalog.archives.gov/"}});
    writer.Finish();
    EXPECT_EQ(RuleBreaks(file), std::vector<std::string>{});
    const auto lines = Lines(file);
    const auto records = Records(lines);
    EXPECT_EQ(RecordLines(lines, records.at("@S14@"))[4], "1 REPO @R14@");
    EXPECT_EQ(
        RecordLines(lines, records.at("@R14@")),
        (std::vector<std::string>{"0 @R14@ REPO", "1 NAME U.S. National Archives and Records Administration",
                                  "1 WWW https://catalog.archives.gov/"}));
}

TEST(GedcomRecord, LongValuesGoOnInConcAtACharacterAndNeverLoseABlank) {
    // A citation of two-byte letters between words, longer than a line: its
    // note and the citation's text come back whole, as one line each.
    std::string citation;
    while (citation.size() < 600) citation += "Fran\xe7ois \xe0 M\xfcnster, ";
    citation += "end.";
    const FoundPerson person =
        Record(5, "X", "Y", {{"Place and date", "12 May 1968"}, {"Citation", citation}, {"Born", "1923"}});
    const std::string file = gedcom::Document(std::vector<FoundPerson>{person}, Context());
    EXPECT_EQ(RuleBreaks(file), std::vector<std::string>{});
    std::string utf8;
    for (char c : citation) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    const auto lines = Lines(file);
    std::vector<std::string> notes;
    std::vector<std::string> texts;
    std::size_t concs = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].tag == "NOTE" && lines[i].level == 2) notes.push_back(Joined(lines, i));
        if (lines[i].tag == "TEXT") texts.push_back(Joined(lines, i));
        concs += lines[i].tag == "CONC" ? 1 : 0;
    }
    EXPECT_GE(concs, 4u);
    EXPECT_EQ(notes, std::vector<std::string>{utf8});
    EXPECT_EQ(texts,
              std::vector<std::string>{"Place and date: 12 May 1968\nCitation: " + utf8 + "\nBorn: 1923"});
}

}  // namespace
