// The sample data disk as a genealogist searches it: the two lists of
// generals hold generals of their side, each once; the graves, the probate
// calendar and the pension files hold the people of their source lines,
// lines chosen at random (with a fixed seed) from the files in
// data/sample/sources/; and the probate calendar's counts in
// data/sample/README.md are those of the disk.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_people.h"
#include "browse/record_text/field_headings.h"
#include "browse/session/search_session.h"
#include "store/catalogue.h"
#include "store/cp1252.h"
#include "store/csv_reader.h"
#include "store/database_about.h"
#include "store/directories.h"
#include "store/record_database.h"
#include "support/test_support.h"

namespace {

const std::string kDisk = CHRONARA_BINARY_DIR "/sample-disk/";
const std::string kSources = CHRONARA_SOURCE_DIR "/data/sample/sources/";
constexpr int kConfederate = 1, kPassengers = 3, kUnion = 4, kGraves = 11, kWills = 13, kRevolution = 14;

// One person of the disk, in UTF-8; blank fields are a single blank.
struct Person {
    std::string surname;
    std::string given;
    std::vector<std::string> fields;
    std::string Field(std::size_t k) const { return k < fields.size() ? fields[k] : std::string(); }
};

std::vector<Person> PeopleOf(int code) {
    CDirectories dirs;
    dirs.SetDataDir(kDisk.c_str());
    CRecordDatabase database(dirs);
    std::vector<Person> all;
    if (!database.OpenCode(code)) {
        ADD_FAILURE() << "database " << code << " does not open";
        return all;
    }
    CPeopleList people;
    EXPECT_FALSE(ListPeople(*database.Index(), database.EntriesHeld(), people).Failed());
    CPeopleReader reader(database, people);
    ReadPerson read;
    while (reader.Next(read)) {
        Person person{cp1252::ToUtf8(read.surname), cp1252::ToUtf8(read.givenNames), {}};
        ForEachRecordField(
            std::string_view(read.record, read.recordLength),
            [&](std::size_t, std::string_view field) { person.fields.push_back(cp1252::ToUtf8(field)); });
        all.push_back(std::move(person));
    }
    EXPECT_FALSE(reader.Error().Failed());
    return all;
}

const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                               "July",    "August",   "September", "October", "November", "December"};

// One line of text: runs of blanks become one, none at the ends.
std::string Tidy(const std::string& text) {
    std::istringstream words(text);
    std::string out, word;
    while (words >> word) out += (out.empty() ? "" : " ") + word;
    return out;
}

// A source cell as the disk holds it: tidied, a single blank when empty.
std::string AsField(const std::string& cell) { return Tidy(cell).empty() ? " " : Tidy(cell); }

// Whether a user finds the person as the viewer's search finds people: the
// surname, and the first given name as the first-name filter; the person
// found holds the same given names and fields. (A surname longer than the
// search box takes is left to the reading of the whole database.)
bool FoundBySearch(int code, const Person& person) {
    std::string surname, first;
    if (!cp1252::FromUtf8(person.surname, surname) ||
        !cp1252::FromUtf8(person.given.substr(0, person.given.find(' ')), first)) {
        return false;
    }
    if (surname.size() > CSearchSession::kMaxSurname) return true;
    CDirectories dirs;
    dirs.SetDataDir(kDisk.c_str());
    testing_support::TempDir install;
    dirs.SetInstallDir((install.Path() + "/").c_str());
    CSearchSession session(dirs);
    if (session.SearchCode(code, surname.c_str(), first.c_str()).status != SearchStatus::Found) return false;
    bool found = false;
    session.ForEachPerson([&](const FoundPerson& hit) {
        std::vector<std::string> fields;
        for (const std::string& field : hit.fields) fields.push_back(cp1252::ToUtf8(field));
        found = found || (cp1252::ToUtf8(hit.givenNames) == person.given && fields == person.fields);
        return !found;
    });
    return found;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Letters and digits only, lower case, the OCR's ligatures as letters: how
// a field is looked for in the OCR text it was read from.
std::string Folded(std::string text) {
    for (const auto& [ligature, letters] :
         {std::pair<std::string, std::string>{"\xEF\xAC\x81", "fi"}, {"\xEF\xAC\x82", "fl"}}) {
        for (std::size_t at; (at = text.find(ligature)) != std::string::npos;) text.replace(at, 3, letters);
    }
    std::string out;
    for (unsigned char c : text)
        if (std::isalnum(c)) out += static_cast<char>(std::tolower(c));
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The rows of a CSV file of one row a line, by line (rows[i] is line i + 1).
// A line that breaks the CSV rules (the foreign gravesite file has one, a
// cemetery name in unescaped quotes) is an empty row, and must name none
// of the wars whose graves the disk takes.
std::vector<std::vector<std::string>> CsvRows(const std::string& path) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(ReadFile(path));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        CCsvReader reader(line);
        std::vector<std::string> row;
        if (reader.Next(row) == CCsvReader::Result::Error) {
            EXPECT_EQ(line.find("WORLD WAR II"), std::string::npos) << path << ": " << line;
            EXPECT_EQ(line.find("KOREA"), std::string::npos) << path << ": " << line;
            row.clear();
        }
        rows.push_back(row);
    }
    return rows;
}

// Folded without the letters that the safe mends of the OCR text touch: the
// ligatures (f, i, l: "Eﬁ'ects" is Effects) and the misread c of Effects
// ("Efi'eots"). Without them, the text kept is the text the OCR read.
std::string Unmended(const std::string& text) {
    std::string out = Folded(text);
    out.erase(std::remove_if(out.begin(), out.end(),
                             [](char c) { return std::string("filoc").find(c) != std::string::npos; }),
              out.end());
    return out;
}

// The "Source line" of a record: the file as its publisher named it and the
// line, its thousands set off by a comma ("ngl_vermont.csv, line 1,678").
std::string SourceLine(std::string file, std::size_t line) {
    file = std::regex_replace(file, std::regex(R"(^va-(ngl|nca)-\d{4}_)"), "");
    std::string number = std::to_string(line);
    for (std::size_t at = number.size(); at > 3; at -= 3) number.insert(at - 3, ",");
    return file + ", line " + number;
}

// A person by the "Source line" or catalogue field that names where they come from.
std::map<std::string, const Person*> ByField(const std::vector<Person>& people, std::size_t k) {
    std::map<std::string, const Person*> by;
    for (const Person& person : people) by[person.Field(k)] = &person;
    return by;
}

class SampleDisk : public ::testing::Test {
protected:
    void SetUp() override {
        struct stat info;
        if (stat((kDisk + "chronaradb.id").c_str(), &info) != 0)
            GTEST_SKIP() << "the sample disk is not built";
    }
};

TEST_F(SampleDisk, GeneralsAreGeneralsOfTheirSideEachOnce) {
    const std::vector<Person> union_ = PeopleOf(kUnion);
    const std::vector<Person> confederate = PeopleOf(kConfederate);
    // given: the start of the given names for a general, the whole given names for a namesake.
    struct Case {
        int code;
        const char* surname;
        const char* given;
        int found;
    };
    const Case cases[] = {
        {kUnion, "CHAMBERLAIN", "Joshua", 1},
        {kUnion, "GRANT", "Ulysses", 1},
        {kUnion, "SHERMAN", "William T", 1},
        {kUnion, "SHERIDAN", "Philip", 1},
        {kUnion, "MCCLELLAN", "George", 1},
        {kUnion, "SIGEL", "Franz", 1},
        {kUnion, "DAVIS", "Jefferson C.", 1},
        {kConfederate, "LEE", "Robert E", 1},
        {kConfederate, "JACKSON", "Thomas", 1},
        {kConfederate, "MORGAN", "John Hunt", 1},
        {kConfederate, "PRICE", "Sterling", 1},
        {kConfederate, "WHEELER", "Joseph", 1},
        {kConfederate, "SIBLEY", "Henry Hopkins", 1},
        {kUnion, "SIBLEY", "Henry Hastings", 1},
        // Namesakes of generals and people who were no general, on either side.
        {kUnion, "DAVIS", "Jefferson", 0},
        {kConfederate, "DAVIS", "Jefferson", 0},
        {kUnion, "BROWN", "John", 0},
        {kConfederate, "BROWN", "John", 0},
        {kConfederate, "BROWN", "John Jr.", 0},
        {kConfederate, "BROWN", "John Sr.", 0},
        {kUnion, "SHERMAN", "William", 0},
        {kUnion, "CAMPBELL", "John", 0},
        {kUnion, "TODD", "John", 0},
        {kConfederate, "JONES", "Samuel", 0},
        {kConfederate, "JONES", "John Tauy", 0},
        {kUnion, "CHIVINGTON", "John Milton", 0},
        {kUnion, "WASHINGTON", "George", 0},
        {kUnion, "LEE", "Robert E", 0},
        {kConfederate, "GRANT", "Ulysses", 0},
    };
    for (const Case& c : cases) {
        const std::vector<Person>& people = c.code == kUnion ? union_ : confederate;
        const int found = static_cast<int>(std::count_if(people.begin(), people.end(), [&](const Person& p) {
            return p.surname == c.surname && (c.found ? p.given.rfind(c.given, 0) == 0 : p.given == c.given);
        }));
        EXPECT_EQ(found, c.found) << (c.code == kUnion ? "Union " : "Confederate ") << c.surname << ", "
                                  << c.given;
    }
    // Nobody twice: no two people of a side with the same surname and given
    // names, nor with the same surname, first name, middle initial and suffix
    // (father and son, "John Bullock" and "John Bullock Jr.", are two).
    for (const std::vector<Person>* people : {&union_, &confederate}) {
        std::set<std::string> seen;
        for (const Person& p : *people) {
            std::vector<std::string> words;
            std::istringstream given(p.given);
            for (std::string word; given >> word;) words.push_back(word);
            const std::set<std::string> suffixes = {"Jr.", "Sr.", "II", "III", "IV"};
            const std::string suffix = words.size() > 1 && suffixes.count(words.back()) ? words.back() : "";
            EXPECT_TRUE(seen.insert(p.surname + "|" + p.given).second) << p.surname << ", " << p.given;
            if (words.size() > (suffix.empty() ? 1u : 2u)) {
                EXPECT_TRUE(seen.insert(p.surname + "|" + words[0] + "|" + words[1][0] + "|" + suffix).second)
                    << p.surname << ", " << p.given;
            }
        }
    }
}

// Every WWII or Korea veteran of the four gravesite extracts is a person of
// the graves database; lines chosen at random hold that person's fields.
TEST_F(SampleDisk, GravesAreTheVeteransOfTheirSourceLines) {
    const std::vector<Person> people = PeopleOf(kGraves);
    const auto bySource = ByField(people, 15);
    std::mt19937 random(1950);
    std::size_t veterans = 0;
    for (const char* name : {"va-ngl-2015_ngl_vermont.csv", "va-ngl-2015_ngl_washingtondc.csv",
                             "va-nca-2017_ngl_nebraska.csv", "va-nca-2017_ngl_foreign_addresses.csv"}) {
        const bool foreign = std::string(name).find("foreign") != std::string::npos;
        const auto rows = CsvRows(kSources + name);
        std::vector<std::size_t> lines;  // rows of WWII or Korea veterans
        for (std::size_t i = foreign ? 0 : 1; i < rows.size(); ++i) {
            const auto& row = rows[i];
            if (row.empty()) continue;
            const std::string& war = row.at(foreign ? 25 : 24);
            if (row.at(foreign ? 18 : 17) == "Veteran (Self)" &&
                (war.find("WORLD WAR II") != std::string::npos || war.find("KOREA") != std::string::npos))
                lines.push_back(i);
        }
        veterans += lines.size();
        for (int pick = 0; pick < 5; ++pick) {
            const std::size_t i = lines[random() % lines.size()];
            const auto& row = rows[i];
            const std::string source = SourceLine(name, i + 1);
            const auto at = bySource.find(source);
            ASSERT_NE(at, bySource.end()) << source;
            const Person& p = *at->second;
            EXPECT_TRUE(FoundBySearch(kGraves, p)) << source;
            const auto column = [&](std::size_t k) { return row.at(foreign && k >= 14 ? k + 1 : k); };
            EXPECT_EQ(p.surname, Upper(column(2))) << source;
            EXPECT_EQ(p.given.rfind(column(0), 0), 0u) << source << ": " << p.given;
            EXPECT_EQ(p.Field(2), AsField(column(23))) << source;           // rank
            EXPECT_EQ(p.Field(3), AsField(column(22))) << source;           // branch of service
            EXPECT_EQ(p.Field(5).rfind(Tidy(column(9)), 0), 0u) << source;  // the cemetery
            EXPECT_EQ(p.Field(11), AsField(column(12))) << source;          // city
            EXPECT_EQ(p.Field(14), AsField(column(24))) << source;          // war
            if (foreign) {
                EXPECT_EQ(p.Field(13), AsField(row.at(14))) << source;  // country
            }
            // "06/28/1925" is 28 June 1925; a year alone stays the year.
            std::smatch date;
            const std::string died = Tidy(column(5));
            if (std::regex_match(died, date, std::regex(R"((\d\d)/(\d\d)/(\d{4}))")))
                EXPECT_EQ(p.Field(4), std::to_string(std::stoi(date[2])) + " " +
                                          kMonths[std::stoi(date[1]) - 1] + " " + std::string(date[3]))
                    << source;
            else
                EXPECT_EQ(p.Field(4), AsField(died)) << source;
        }
    }
    EXPECT_EQ(people.size(), veterans);
    // A search by years finds no grave by its file or the line it stands on.
    const std::regex fourDigits(R"(\b\d{4}\b)");
    for (const Person& p : people) EXPECT_FALSE(std::regex_search(p.Field(15), fourDigits)) << p.Field(15);
}

// The probate calendar: every entry is on the disk once, by its file and
// line, or counted unread; the counts are those the README states; entries
// chosen at random hold the names and dates that their OCR text reads.
TEST_F(SampleDisk, WillsAreTheEntriesOfTheCalendar) {
    const std::vector<Person> people = PeopleOf(kWills);
    const auto bySource = ByField(people, 13);
    ASSERT_EQ(bySource.size(), people.size()) << "a calendar line stands twice";
    std::mt19937 random(1873);
    long entries = 0, found = 0;
    for (const char* name :
         {"freeukgen_probate-calendar-1873_test.txt", "freeukgen_probate-calendar-1873_train.txt"}) {
        std::istringstream lines(ReadFile(kSources + name));
        std::vector<std::pair<std::string, std::string>> onDisk;  // source, text
        std::string line;
        for (long number = 1; std::getline(lines, line); ++number) {
            if (line.find_first_not_of(' ') == std::string::npos) continue;
            ++entries;
            const std::string source = SourceLine(name, static_cast<std::size_t>(number));
            if (bySource.count(source)) onDisk.emplace_back(source, line);
        }
        found += static_cast<long>(onDisk.size());
        for (int pick = 0; pick < 8; ++pick) {
            const auto& [source, text] = onDisk[random() % onDisk.size()];
            const Person& p = *bySource.at(source);
            EXPECT_TRUE(FoundBySearch(kWills, p)) << source;
            const std::string folded = Folded(text);
            std::istringstream given(p.given);
            for (std::string word; given >> word;)
                EXPECT_NE(folded.find(Folded(word)), std::string::npos) << source << ": " << word;
            EXPECT_NE(folded.find(Folded(p.surname)), std::string::npos) << source << ": " << p.surname;
            // The dates of the grant (the calendar gives day and month) and of death:
            // day and month together, the year of death apart (the OCR may set the
            // margin between them).
            for (std::size_t k : {1, 3}) {
                if (p.Field(k) == " ") continue;
                const std::string dayMonth = p.Field(k).substr(0, p.Field(k).size() - 5);
                EXPECT_NE(folded.find(Folded(dayMonth)), std::string::npos) << source << ": " << p.Field(k);
                if (k == 3) {
                    EXPECT_NE(folded.find(p.Field(k).substr(p.Field(k).size() - 4)), std::string::npos)
                        << source;
                }
            }
            EXPECT_EQ(Unmended(p.Field(12)), Unmended(text)) << source;  // the whole text
        }
    }
    // A relationship is the grantee's: each stands before any other person the
    // grant names through a will, effects or a power of attorney ("the
    // Executor of the Will of John Fox the Father" is Fox's father).
    const std::regex throughAnother(
        R"(\b(Will|[Ee]ffects|Estate|Administration|Benefit|Attorneys?) of (?!the said\b))");
    for (const Person& p : people) {
        if (p.Field(8) == " ") continue;
        const std::string& executors = p.Field(7);
        std::smatch other;
        const std::size_t end = std::regex_search(executors, other, throughAnother)
                                    ? static_cast<std::size_t>(other.position(0))
                                    : executors.size();
        std::istringstream relations(p.Field(8));
        for (std::string relation; std::getline(relations >> std::ws, relation, ',');) {
            const std::size_t at = executors.find("the " + relation);
            EXPECT_LT(at, end) << p.Field(13) << ": " << relation;
        }
    }
    long parsed = 0;
    const std::regex lineAsYear(R"(line \d{4}\b)");  // a search by years would take it for one
    for (const Person& p : people) {
        EXPECT_FALSE(std::regex_search(p.Field(13), lineAsYear)) << p.Field(13);
        // Place, date, Will or Administration, date of death, registry, executors.
        const std::size_t read[] = {0, 1, 2, 3, 6, 7};
        parsed +=
            std::all_of(std::begin(read), std::end(read), [&](std::size_t k) { return p.Field(k) != " "; });
    }
    const std::string readme = ReadFile(CHRONARA_SOURCE_DIR "/data/sample/README.md");
    const auto stated = [&](const char* label) {
        std::smatch match;
        const std::regex row(std::string(R"(\|\s*)") + label + R"(\s*\|\s*([\d,]+)\s*\|)");
        if (!std::regex_search(readme, match, row)) {
            ADD_FAILURE() << "the README states no count of " << label;
            return -1L;
        }
        std::string digits = match[1];
        digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
        return std::stol(digits);
    };
    EXPECT_EQ(stated("entries in the two files"), entries);
    EXPECT_EQ(stated("parsed: every field read"), parsed);
    EXPECT_EQ(stated("partly parsed: the name read, a field not"), found - parsed);
    EXPECT_EQ(stated("unread: no name read, left out"), entries - found);
    EXPECT_EQ(static_cast<long>(people.size()), found);
}

// Every file of the pension sample is one person, found by the catalogue's
// id, under the soldier's name and with the file, state and address of its title.
TEST_F(SampleDisk, PensionFilesAreTheSoldiersOfTheirTitles) {
    const std::vector<Person> people = PeopleOf(kRevolution);
    const auto byId = ByField(people, 7);
    const auto rows = CsvRows(kSources + "nara_m804_revwar_pension_titles_sample.csv");
    std::set<std::string> files;
    for (std::size_t i = 1; i < rows.size(); ++i) files.insert(rows.at(i).at(2));
    long files_on_disk = 0;
    for (const std::string& id : files) files_on_disk += byId.count("NAID " + id);
    EXPECT_EQ(files_on_disk, static_cast<long>(files.size()));
    // Every file is a soldier's: a surname, never a piece of a file number
    // ("File S, 8088, Oliver Brown").
    for (const Person& p : people) {
        EXPECT_TRUE(!p.surname.empty() && std::isalpha(static_cast<unsigned char>(p.surname[0])))
            << p.surname << ", " << p.given;
    }
    std::mt19937 random(1776);
    for (int pick = 0; pick < 10; ++pick) {
        const auto& row = rows[1 + random() % (rows.size() - 1)];
        const Person& p = *byId.at("NAID " + row.at(2));
        const std::string& title = row.at(4);
        EXPECT_TRUE(FoundBySearch(kRevolution, p)) << title;
        EXPECT_EQ(p.Field(8), row.at(3)) << title;  // the catalogue's address
        EXPECT_EQ(p.Field(12), title) << title;     // the whole title
        EXPECT_EQ(p.Field(6), "M804") << title;     // the microfilm publication
        if (p.Field(9) != " ") {
            EXPECT_EQ(title.find(p.Field(9)), title.find("File ") + 5) << title;  // the file
        }
        // "..., Reuben W Wilder, Mass.": the name between the file and the state.
        std::string name = p.given;
        if (p.Field(0) != " ") name += " " + p.Field(0);
        EXPECT_NE(Upper(title).find(Upper(name) + " " + p.surname), std::string::npos) << title;
    }
}

// Every database of the disk heads its fields and says where its records
// came from; the invented ones say so in their title. The passenger list's
// given names are the person's own, so a first-name search finds them.
TEST_F(SampleDisk, EachDatabaseSaysItsHeadingsAndSourceAndPassengersGoByTheirOwnNames) {
    CDirectories dirs;
    dirs.SetDataDir(kDisk.c_str());
    // Every database the disk holds, the roll of honor too, which the list leaves out.
    int invented = 0;
    for (int code = catalogue::kFirstCode; code <= catalogue::kLastCode; ++code) {
        DatabaseAbout about;
        ASSERT_FALSE(ReadDatabaseAbout(dirs, code, about).Failed()) << code;
        EXPECT_FALSE(about.headings.empty()) << code;
        const std::vector<std::string> titles = database_about::ValuesOf(about.provenance, "Title");
        ASSERT_EQ(titles.size(), 1u) << code;
        EXPECT_FALSE(database_about::ValuesOf(about.provenance, "Source").empty()) << code;
        invented += titles[0].find("invented") != std::string::npos;
    }
    EXPECT_EQ(invented, 4);
    FieldHeadings passengers;
    ASSERT_FALSE(ReadFieldHeadings(dirs, kPassengers, passengers).Failed());
    for (const char* heading :
         {"Port of embarkation", "Lifeboat", "Title", "Listed as", "Maiden name", "Known as"}) {
        const std::vector<std::string> all = passengers.First(passengers.Disk().size());
        EXPECT_NE(std::find(all.begin(), all.end(), heading), all.end()) << heading;
    }

    const struct {
        const char* surname;
        const char* first;
        bool variants;
        const char* given;
    } searches[] = {{"ALLEN", "William", false, "William Henry"},
                    {"ALLEN", "Bill", true, "William Henry"},
                    {"ASTOR", "Madeleine", false, "Madeleine Talmadge"},
                    {"ASTOR", "John", false, "John Jacob"}};
    testing_support::TempDir install;
    dirs.SetInstallDir((install.Path() + "/").c_str());
    for (const auto& s : searches) {
        CSearchSession session(dirs);
        session.SetNameVariants(s.variants);
        ASSERT_EQ(session.SearchCode(kPassengers, s.surname, s.first).status, SearchStatus::Found)
            << s.surname << ", " << s.first;
        std::vector<std::string> found;
        session.ForEachPerson([&found](const FoundPerson& person) {
            found.push_back(cp1252::ToUtf8(person.givenNames));
            return true;
        });
        EXPECT_NE(std::find(found.begin(), found.end(), s.given), found.end())
            << s.surname << ", " << s.first;
    }
}

}  // namespace
