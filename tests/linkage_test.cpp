// Links between records of one person: the evidence and its weight, the
// rule-outs, the blocking, and chronara-query's --links and --links-all on
// the sample disk.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "bench/linked_disk.h"
#include "browse/linkage/link_disk.h"
#include "browse/linkage/link_facts.h"
#include "browse/linkage/link_index.h"
#include "browse/linkage/link_score.h"
#include "browse/names/given_name_table.h"
#include "browse/record_query/people_reader.h"
#include "browse/record_query/record_people.h"
#include "store/directories.h"
#include "store/record_database.h"
#include "support/test_support.h"
#include "support/tool_runner.h"

namespace {

using linkage::FactsOf;
using linkage::LinkFacts;
using linkage::Verdict;

// Database codes with the headings their records are read by.
constexpr int kConfederateGenerals = 1;
constexpr int kCivilWarMedal = 2;
constexpr int kUnionGenerals = 4;
constexpr int kPrisoners = 10;
constexpr int kGraves = 11;
constexpr int kWills = 13;

struct Side {
    int code;
    const char* surname;
    const char* given;
    std::vector<std::string> headings;
    std::vector<std::string> fields;
};

LinkFacts Facts(const Side& side) {
    return FactsOf(side.code, side.surname, side.given, side.fields, side.headings);
}

linkage::NameCounts Counts(const char* surname, int surnames, const char* given, int givens) {
    linkage::NameCounts counts;
    counts.people = 40000;
    counts.surnames[surname] = surnames;
    counts.given[given] = givens;
    return counts;
}

TEST(Linkage, EachKindOfEvidenceWeighsAndSomeRuleAPairOut) {
    const std::vector<std::string> generals{"Born", "Died", "Prewar profession"};
    const std::vector<std::string> medal{"Rank and organization", "Place and date", "Entered service at",
                                         "Born"};
    const std::vector<std::string> graves{"Middle initial", "Date of birth", "Date of death", "State",
                                          "Rank"};
    const std::vector<std::string> prisoners{"State", "Service", "Rank", "Capture"};
    struct Case {
        const char* what;
        Side a;
        Side b;
        int surnameCount;
        int givenCount;  // of 40,000 people
        Verdict verdict;
        const char* reason;  // a reason the judgement gives, or the one that rules it out
    };
    const Case cases[] = {
        {"initial against the full middle name, born and state alike",
         {kUnionGenerals,
          "CHAMBERLAIN",
          "Joshua Lawrence",
          generals,
          {"8 September 1828, Brewer, Maine", "1914", ""}},
         {kCivilWarMedal,
          "CHAMBERLAIN",
          "Joshua L.",
          medal,
          {"Colonel, 20th Maine Infantry, U.S. Army", "2 July 1863", "Brunswick, Maine", "8 September 1828"}},
         16,
         40,
         Verdict::Likely,
         "born 1828 both"},
        {"initials against full names",
         {kGraves, "KOWALCZYK", "J.", graves, {"P", "1921", "1999", "Ohio", "PFC"}},
         {kPrisoners, "KOWALCZYK", "Jan Piotr", prisoners, {"Ohio", "Army", "Private First Class", "1944"}},
         2,
         40,
         Verdict::Likely,
         "given names J. P. / Jan Piotr: initial"},
        {"a nickname is a variant",
         {kGraves, "HALVORSEN", "Bill", graves, {"", "1920", "1990", "Iowa", ""}},
         {kGraves, "HALVORSEN", "William", graves, {"", "1920", "1990", "Iowa", ""}},
         3,
         1000,
         Verdict::Likely,
         "variant"},
        {"a father and son of the same names, told apart by their generations",
         {kGraves, "SMITH", "John, Sr.", graves, {"", "", "1990", "Ohio", ""}},
         {kGraves, "SMITH", "John, Jr.", graves, {"", "", "1990", "Ohio", ""}},
         400,
         1200,
         Verdict::None,
         "generations Sr. / Jr."},
        {"a father and son of the same names, born twenty years apart",
         {kGraves, "PELLETIER", "Henri", graves, {"", "1901", "1970", "Maine", ""}},
         {kGraves, "PELLETIER", "Henri", graves, {"", "1921", "1970", "Maine", ""}},
         2,
         40,
         Verdict::None,
         "births more than five years apart"},
        {"a common surname needs more than names",
         {kGraves, "SMITH", "John", graves, {"", "", "", "", ""}},
         {kPrisoners, "SMITH", "John", prisoners, {"", "", "", ""}},
         400,
         1200,
         Verdict::None,
         "400 on the disk"},
        {"a rare surname with the same names is possible",
         {kGraves, "QUATTLEBAUM", "John", graves, {"", "", "", "", ""}},
         {kPrisoners, "QUATTLEBAUM", "John", prisoners, {"", "", "", ""}},
         2,
         1200,
         Verdict::Possible,
         "2 on the disk"},
        {"first names that differ",
         {kUnionGenerals, "CHAMBERLAIN", "Samuel", generals, {"", "", ""}},
         {kCivilWarMedal, "CHAMBERLAIN", "Joshua L.", medal, {"Colonel", "1863", "", ""}},
         16,
         40,
         Verdict::None,
         "not the same"},
        {"a man who died in 1863 is no prisoner of 1944",
         {kUnionGenerals, "VANDERBILT", "Hiram", generals, {"1820", "1863", ""}},
         {kPrisoners, "VANDERBILT", "Hiram", prisoners, {"", "Army", "", "1944"}},
         2,
         10,
         Verdict::None,
         "no lifetime holds both"},
        {"the two sides of the Civil War",
         {kConfederateGenerals, "ARMISTEAD", "Lewis", generals, {"", "", ""}},
         {kUnionGenerals, "ARMISTEAD", "Lewis", generals, {"", "", ""}},
         2,
         100,
         Verdict::None,
         "the other for the Confederacy"},
        {"deaths four years apart",
         {kGraves, "OKAFOR", "Emeka", graves, {"", "1930", "1990", "", ""}},
         {kGraves, "OKAFOR", "Emeka", graves, {"", "1930", "1994", "", ""}},
         2,
         5,
         Verdict::None,
         "deaths more than three years apart"},
    };
    const CGivenNameTable& names = CGivenNameTable::Builtin();
    for (const Case& c : cases) {
        const LinkFacts a = Facts(c.a);
        const LinkFacts b = Facts(c.b);
        const auto counts = Counts(a.surname.c_str(), c.surnameCount,
                                   a.given.empty() ? "" : a.given[0].c_str(), c.givenCount);
        const linkage::LinkJudgement ab = linkage::Judge(a, b, counts, names);
        const linkage::LinkJudgement ba = linkage::Judge(b, a, counts, names);
        EXPECT_EQ(ab.verdict, c.verdict) << c.what << ": " << ab.score << " " << ab.ReasonText();
        EXPECT_NE(ab.ReasonText().find(c.reason), std::string::npos) << c.what << ": " << ab.ReasonText();
        // Either way round, the same score.
        EXPECT_EQ(ab.score, ba.score) << c.what;
    }
}

TEST(Linkage, HeadingsOfTwoDatabasesSayWhatAFieldIsForItsNeighbourInAComparison) {
    using linkage::FieldKind;
    const struct {
        const char* a;
        const char* b;
        int alike;  // 2 one kind, 1 one holds the other, 0 unlike
    } cases[] = {
        {"Born", "Birth", 2},
        {"Date of birth:", "BIRTH DATE", 2},
        {"Born", "Date of Birth", 1},
        {"Place of Birth", "Birth", 1},
        {"Date of birth", "Place of birth", 0},
        {"Died", "Date of death", 1},
        {"Died", "Born", 0},
        {"Rank", "Rank and organization", 2},
        {"Initial rank", "Final rank", 2},
        {"Company", "Combat organization", 2},
        {"City", "State", 0},
        {"City", "Entered service at", 0},
        {"Citation", "Citation", 0},  // one heading, but none the linkage reads
    };
    for (const auto& c : cases) {
        EXPECT_EQ(linkage::KindsAlike(linkage::KindOfHeading(c.a), linkage::KindOfHeading(c.b)), c.alike)
            << c.a << " / " << c.b;
    }
    EXPECT_EQ(linkage::KindOfHeading("Citation"), FieldKind::None);
}

TEST(Linkage, AYearThatMostOfTheDatabasesShareWeighsLittle) {
    // Two wills of one calendar: nearly all its testators died in 1872 or 1873.
    const CGivenNameTable& names = CGivenNameTable::Builtin();
    const std::vector<std::string> wills{"Date of death"};
    const LinkFacts a = FactsOf(kWills, "BILTON", "Ann", {"1 May 1873"}, wills);
    const LinkFacts b = FactsOf(kWills, "BILTON", "Ann", {"3 June 1873"}, wills);
    struct Case {
        double chance;  // of two testators dying in one year; 0: not known
        double weight;  // what the year adds
    };
    const Case cases[] = {{0, 5.0}, {1.0 / 60, 5.0}, {0.5, std::log2(0.9 / 0.5)}, {0.9, 0.0}};
    linkage::NameCounts counts = Counts("BILTON", 2, "ANN", 100);
    const double without = linkage::Judge(FactsOf(kWills, "BILTON", "Ann", {}, wills),
                                          FactsOf(kWills, "BILTON", "Ann", {}, wills), counts, names)
                               .weight;
    for (const Case& c : cases) {
        counts.diedChance.clear();
        if (c.chance > 0) counts.diedChance[{kWills, kWills}] = c.chance;
        const linkage::LinkJudgement judged = linkage::Judge(a, b, counts, names);
        EXPECT_NEAR(judged.weight - without, c.weight, 1e-9) << c.chance;
        EXPECT_NE(judged.ReasonText().find("died 1873 both"), std::string::npos) << judged.ReasonText();
    }
}

TEST(Linkage, ARarerSurnameOrGivenNameWeighsMore) {
    const CGivenNameTable& names = CGivenNameTable::Builtin();
    const std::vector<std::string> none;
    const LinkFacts a = FactsOf(kGraves, "WEBB", "Ezekiel", {}, none);
    const LinkFacts b = FactsOf(kPrisoners, "WEBB", "Ezekiel", {}, none);
    int last = 101;
    for (const int count : {2, 8, 40, 400}) {
        const int score = linkage::Judge(a, b, Counts("WEBB", count, "EZEKIEL", 5), names).score;
        EXPECT_LT(score, last) << count;
        last = score;
    }
    last = 101;
    for (const int count : {5, 500, 5000}) {
        const int score = linkage::Judge(a, b, Counts("WEBB", 8, "EZEKIEL", count), names).score;
        EXPECT_LT(score, last) << count;
        last = score;
    }
}

TEST(Linkage, BlockingFindsEveryPlantedPairAndJoinsNoStrangers) {
    struct Person {
        int code;
        const char* surname;
        const char* given;
    };
    // Pairs planted side by side: spellings a letter or two off, sounds
    // alike, variants and initials of the given names.
    const Person planted[][2] = {
        {{kUnionGenerals, "CHAMBERLAIN", "Joshua"}, {kCivilWarMedal, "CHAMBERLIN", "J. L."}},
        {{kGraves, "SMITH", "William"}, {kPrisoners, "SMYTH", "Bill"}},
        {{kGraves, "MUELLER", "Hans"}, {kPrisoners, "MULLER", "Hans"}},
        {{kGraves, "KOWALSKI", "Jan"}, {kPrisoners, "KOVALSKY", "Jan"}},
        {{kGraves, "CATHERWOOD", "Margaret"}, {kPrisoners, "KATHERWOOD", "Peggy"}},
        {{kGraves, "SCHWARTZ", "Robert"}, {kGraves, "SCHWARZ", "Bob"}},
        {{kGraves, "ODONNELL", "P."}, {kPrisoners, "O'DONNELL", "Patrick"}},
    };
    const Person strangers[][2] = {
        {{kGraves, "SMITH", "William"}, {kPrisoners, "JONES", "William"}},
        {{kGraves, "MUELLER", "Hans"}, {kPrisoners, "MUELLER", "Otto"}},
        {{kGraves, "ODONNELL", "P."}, {kPrisoners, "ODONNELL", "Kevin"}},
    };
    linkage::CLinkIndex index(CGivenNameTable::Builtin());
    auto add = [&](const Person& person) {
        linkage::LinkPerson linked;
        linked.code = person.code;
        linked.entry = static_cast<std::int32_t>(index.People().size());
        linked.facts = FactsOf(person.code, person.surname, person.given, {}, std::vector<std::string>{});
        index.Add(linked);
    };
    for (const auto& pair : planted) {
        add(pair[0]);
        add(pair[1]);
    }
    for (const auto& pair : strangers) {
        add(pair[0]);
        add(pair[1]);
    }
    index.Finish();
    const auto pairs = index.CandidatePairs();
    auto has = [&](std::uint32_t a, std::uint32_t b) {
        return std::find(pairs.begin(), pairs.end(), std::make_pair(a, b)) != pairs.end();
    };
    const auto plantedCount = static_cast<std::uint32_t>(std::size(planted));
    for (std::uint32_t k = 0; k < plantedCount; ++k) {
        EXPECT_TRUE(has(2 * k, 2 * k + 1)) << planted[k][0].surname << " / " << planted[k][1].surname;
        const auto of = index.CandidatesOf(2 * k + 1);
        EXPECT_NE(std::find(of.begin(), of.end(), 2 * k), of.end()) << planted[k][1].surname;
    }
    for (std::uint32_t k = 0; k < std::size(strangers); ++k) {
        const std::uint32_t at = 2 * (plantedCount + k);
        EXPECT_FALSE(has(at, at + 1)) << strangers[k][0].given << " / " << strangers[k][1].given;
    }
    // Every pair once, the lower number first.
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        EXPECT_LT(pairs[k].first, pairs[k].second);
        if (k > 0) {
            EXPECT_LT(pairs[k - 1], pairs[k]);
        }
    }
}

// The person number of every entry of a database of the linked disk.
std::vector<long> NumbersOf(const CDirectories& dirs, int code, std::size_t field) {
    std::vector<long> numbers;
    CRecordDatabase database(dirs);
    EXPECT_TRUE(database.OpenCode(code));
    CPeopleList people;
    EXPECT_FALSE(ListPeople(*database.Index(), database.EntriesHeld(), people).Failed());
    numbers.assign(static_cast<std::size_t>(database.EntriesHeld()), -1);
    CPeopleReader reader(database, people);
    ReadPerson person;
    while (reader.Next(person)) {
        ForEachRecordField(std::string_view(person.record, person.recordLength),
                           [&](std::size_t k, std::string_view text) {
                               if (k == field)
                                   numbers.at(person.entry) = bench::PersonNumber(std::string(text));
                           });
    }
    return numbers;
}

TEST(Linkage, OnADiskMadeToBeLinkedLikelyIsRightAndTruePairsAreFound) {
    // A fixed seed: the same people every run (bench/linked_disk.h).
    const testing_support::TempDir folder;
    bench::LinkedDiskStats stats;
    std::string error;
    ASSERT_TRUE(bench::MakeLinkedDisk(folder.Path(), 2000, 0.2, 20261209, stats, error)) << error;
    CDirectories dirs;
    dirs.SetDataDir(folder.Path().c_str());
    const CGivenNameTable& names = CGivenNameTable::Builtin();
    linkage::CLinkIndex index(names);
    const linkage::LoadOutcome loaded = linkage::LoadPeople(dirs, {kPrisoners, kGraves}, index, DiskPrompt{});
    ASSERT_FALSE(loaded.noDisk || loaded.error.Failed());
    const std::vector<long> prisoners = NumbersOf(dirs, kPrisoners, 1);
    const std::vector<long> graves = NumbersOf(dirs, kGraves, 5);
    // The bound turns down no pair that judging would propose.
    const std::vector<linkage::LinkPair> links = linkage::AllLinks(index, names);
    std::size_t judgedAll = 0;
    for (const auto& [p, q] : index.CandidatePairs()) {
        const linkage::LinkJudgement judged =
            linkage::Judge(index.Facts(p), index.Facts(q), index.Counts(), names);
        judgedAll += judged.verdict != Verdict::None;
        if (!judged.ruledOut) {
            EXPECT_GE(index.WeightBound(p, q), judged.weight - 1e-9)
                << p << " " << q << " " << judged.ReasonText();
        }
    }
    EXPECT_EQ(links.size(), judgedAll);
    long likely = 0;
    long likelyTrue = 0;
    long found = 0;
    for (const linkage::LinkPair& pair : links) {
        const linkage::LinkPerson& a = index.People()[pair.first];
        const linkage::LinkPerson& b = index.People()[pair.second];
        const long na = (a.code == kPrisoners ? prisoners : graves).at(static_cast<std::size_t>(a.entry));
        const long nb = (b.code == kPrisoners ? prisoners : graves).at(static_cast<std::size_t>(b.entry));
        const bool same = a.code != b.code && na == nb;
        likely += pair.judgement.verdict == Verdict::Likely;
        likelyTrue += same && pair.judgement.verdict == Verdict::Likely;
        found += same;
    }
    ASSERT_GT(stats.shared, 0);
    EXPECT_GE(likelyTrue * 100, likely * 95) << likelyTrue << " of " << likely << " likely pairs are true";
    EXPECT_GE(found * 100, stats.shared * 95) << found << " of " << stats.shared << " true pairs found";
}

TEST(Linkage, TheBoundOfAPairIsNeverBelowItsJudgedWeight) {
    // AllLinks judges only the pairs whose bound may reach "possible": a
    // bound below a judged weight would lose a link. Pairs where the bound
    // takes the most an approximated kind of evidence could add: first names
    // a variant, a letter off or different; middle names variants, equal,
    // initials or different; surnames a letter off or only sounding alike.
    struct Person {
        int code;
        const char* surname;
        const char* given;
    };
    const Person people[] = {
        {kGraves, "SMITH", "William Henry"},
        {kPrisoners, "SMITH", "Bill H."},
        {kPrisoners, "SMYTH", "Willam Harry"},
        {kGraves, "SCHMIDT", "Wilhelm Hal"},
        {kGraves, "SMITH", "W. Henry"},
        {kPrisoners, "SMITH", "Willis Henry"},
        {kGraves, "SMITH", "W."},
        {kPrisoners, "SMITHE", "William, Jr."},
        {kGraves, "SMITH", "William Harold"},
        {kPrisoners, "SMITH", "William Harry"},
    };
    const CGivenNameTable& names = CGivenNameTable::Builtin();
    const std::vector<std::string> none;
    linkage::CLinkIndex index(names);
    for (const Person& person : people) {
        linkage::LinkPerson linked;
        linked.code = person.code;
        linked.entry = static_cast<std::int32_t>(index.Size());
        linked.facts = FactsOf(person.code, person.surname, person.given, {}, none);
        index.Add(linked);
    }
    index.Finish();
    const auto pairs = index.CandidatePairs();
    EXPECT_GE(pairs.size(), 20u);
    for (const auto& [p, q] : pairs) {
        const linkage::LinkJudgement judged =
            linkage::Judge(index.Facts(p), index.Facts(q), index.Counts(), names);
        if (judged.ruledOut) continue;
        EXPECT_GE(index.WeightBound(p, q), judged.weight - 1e-9)
            << people[p].given << " / " << people[q].given << ": " << judged.ReasonText();
    }
}

const char kTool[] = CHRONARA_BINARY_DIR "/tools/query/chronara-query";
const char kSample[] = CHRONARA_BINARY_DIR "/sample-disk";

// The sample disk, with folders of the test's own for the rest.
testing_support::ToolRun Query(std::vector<std::string> args) {
    static const testing_support::TempDir install;
    static const testing_support::TempDir config;
    args.insert(args.begin(), {"--data-dir", kSample, "--install-dir", install.Path()});
    return testing_support::RunProgram(
        kTool, args, {{"XDG_CONFIG_HOME", config.Path()}, {"XDG_CONFIG_DIRS", config.Path()}});
}

TEST(Linkage, TheToolLinksChamberlainBothWaysAndEveryPairOnce) {
    struct stat info {};
    ASSERT_EQ(stat(kTool, &info), 0) << "build the chronara-query target first";
    // From the Medal of Honor roll to Union Generals, and back.
    testing_support::ToolRun run =
        Query({"--database", "civmoh", "--surname", "Chamberlain", "--first-name", "Joshua", "--links", "0"});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.rfind("unigen\t", 0), 0u) << run.out;
    const std::string unigenEntry = run.out.substr(7, run.out.find('\t', 7) - 7);
    EXPECT_NE(run.out.find("\tCHAMBERLAIN\tJoshua\t"), std::string::npos) << run.out;
    run = Query({"--database", "unigen", "--surname", "Chamberlain", "--first-name", "Joshua", "--links", "0",
                 "--format", "json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"database\": \"civmoh\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"reasons\": [\"surname CHAMBERLAIN"), std::string::npos) << run.out;

    // The roll of honor, which no list row shows, is linked from both sides.
    const char* const rollPair[][2] = {{"honorol", "civmoh\t"}, {"civmoh", "honorol\t"}};
    for (const auto& [from, to] : rollPair) {
        run = Query({"--database", from, "--surname", "Whitfield", "--first-name", "Daniel", "--links", "0"});
        ASSERT_EQ(run.status, 0) << from << ": " << run.err;
        EXPECT_NE(run.out.find(to), std::string::npos) << from << ": " << run.out;
    }

    run = Query({"--links-all", "--database", "all"});
    ASSERT_EQ(run.status, 0) << run.err;
    // Civil War Medal of Honor comes before Union Generals in the list.
    const std::size_t pair = run.out.find("\tunigen\t" + unigenEntry + "\t");
    ASSERT_NE(pair, std::string::npos) << run.out;
    EXPECT_EQ(run.out.compare(run.out.rfind('\n', pair) + 1, 7, "civmoh\t"), 0);
    // Each line a pair once, at or above possible.
    std::vector<std::string> seen;
    std::size_t start = 0;
    while (start < run.out.size()) {
        const std::size_t end = run.out.find('\n', start);
        const std::string line = run.out.substr(start, end - start);
        start = end + 1;
        std::vector<std::string> cells;
        std::size_t at = 0;
        for (std::size_t tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1) {
            cells.push_back(line.substr(at, tab - at));
        }
        cells.push_back(line.substr(at));
        ASSERT_EQ(cells.size(), 7u) << line;
        EXPECT_GE(std::stoi(cells[4]), linkage::kPossibleScore) << line;
        EXPECT_TRUE(cells[5] == "likely" || cells[5] == "possible") << line;
        seen.push_back(cells[0] + cells[1] + "/" + cells[2] + cells[3]);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
    // Fields past the label table's slots are read by the headings the disk
    // gives them: the Revolutionary War's "Date of birth", "Date of death" and "City".
    const std::size_t tarbell = run.out.find("surname TARBELL");
    ASSERT_NE(tarbell, std::string::npos) << run.out;
    const std::string reasons = run.out.substr(tarbell, run.out.find('\n', tarbell) - tarbell);
    for (const char* reason : {"born 1755 both", "died 1829 both", "town CHESTER both"}) {
        EXPECT_NE(reasons.find(reason), std::string::npos) << reasons;
    }

    struct Refused {
        std::vector<std::string> args;
        const char* message;
    };
    const Refused refused[] = {
        {{"--links-all", "--database", "all", "--surname", "Smith"}, "--surname is not for --links-all"},
        {{"--links-all"}, "--database is required"},
        {{"--database", "civmoh", "--surname", "Chamberlain", "--links", "x"},
         "--links: ROW must be a row number"},
        {{"--database", "civmoh", "--surname", "Chamberlain", "--links", "0", "--export", "csv"},
         "it takes no --turn, --more-info, --record, --cite or --links"},
        {{"--database", "civmoh", "--surname", "Chamberlain", "--links", "5"},
         "--links: the page has no row 5"},
    };
    for (const Refused& r : refused) {
        run = Query(r.args);
        EXPECT_EQ(run.status, 2) << r.message;
        EXPECT_NE(run.err.find(r.message), std::string::npos) << run.err;
    }
}

}  // namespace
