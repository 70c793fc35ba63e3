// The researcher's verdicts on pairs of records: kept in the research log
// (by pair, either way round, listed, taken back and put back), and
// honoured by the linkage (a pair refused never proposed again, a pair
// confirmed shown as confirmed).

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "browse/linkage/known_pairs.h"
#include "browse/linkage/link_index.h"
#include "browse/names/given_name_table.h"
#include "browse/research_log/research_log.h"
#include "support/log_support.h"
#include "support/test_support.h"
#include "support/tool_runner.h"

using namespace research_log;
using testing_support::LogAt;
using testing_support::MadeUpDisk;
using testing_support::MadeUpPerson;
using testing_support::RunSql;
using testing_support::ScopedEnv;
using testing_support::SqlInteger;
using testing_support::TempDir;

namespace {

class LinkVerdicts : public ::testing::Test {
protected:
    void SetUp() override { tzset(); }
    void TearDown() override { tzset(); }
    std::string Path() const { return home.File("research.sqlite"); }

    ScopedEnv zone{"TZ", "UTC0"};
    TempDir home{testing_support::QuickScratchParent()};
};

std::string PairText(const PairVerdict& v) {
    return std::to_string(v.first.code) + ":" + std::to_string(v.first.entry) + "-" +
           std::to_string(v.second.code) + ":" + std::to_string(v.second.entry) + " " +
           SamenessName(v.sameness) + " [" + v.note + "]";
}

TEST_F(LinkVerdicts, AVerdictIsKeptOncePerPairEitherWayRoundListedTakenBackAndPutBack) {
    CResearchLog log(LogAt(Path()));
    const DiskIdentity disk = MadeUpDisk(1);
    const DiskIdentity other = MadeUpDisk(2);
    const std::string colonel = "the colonel of the 20th Maine";
    std::int64_t id = 0;
    // Given from the later record: kept from the earlier.
    ASSERT_FALSE(
        log.SetVerdict(disk, MadeUpPerson(4, 7), MadeUpPerson(2, 1), Sameness::Same, &colonel, &id).Failed());
    // The same pair on another disk is another pair.
    ASSERT_FALSE(
        log.SetVerdict(other, MadeUpPerson(2, 1), MadeUpPerson(4, 7), Sameness::NotSame, nullptr).Failed());
    ASSERT_FALSE(
        log.SetVerdict(disk, MadeUpPerson(2, 1), MadeUpPerson(2, 3), Sameness::NotSame, nullptr).Failed());

    const struct {
        PersonPlace a, b;
        bool found;
        const char* text;
    } byPair[] = {
        {{2, 1}, {4, 7}, true, "2:1-4:7 same [the colonel of the 20th Maine]"},
        {{4, 7}, {2, 1}, true, "2:1-4:7 same [the colonel of the 20th Maine]"},
        {{2, 3}, {2, 1}, true, "2:1-2:3 not-same []"},
        {{2, 3}, {4, 7}, false, ""},
        {{99, 1}, {4, 7}, false, ""},
    };
    for (const auto& c : byPair) {
        bool found = false;
        PairVerdict verdict;
        ASSERT_FALSE(log.VerdictOn(disk, c.a, c.b, found, verdict).Failed());
        EXPECT_EQ(found, c.found) << c.text;
        if (found) {
            EXPECT_EQ(PairText(verdict), c.text);
        }
    }
    bool found = false;
    PairVerdict kept;
    ASSERT_FALSE(log.VerdictOn(disk, {2, 1}, {4, 7}, found, kept).Failed());
    EXPECT_EQ(kept.id, id);
    EXPECT_EQ(kept.first.surname, "SMITH1");
    EXPECT_EQ(kept.second.givenNames, "John 7");
    EXPECT_EQ(kept.second.summary, "Pvt, Co. 7, 20th Maine");
    EXPECT_EQ(kept.OtherThan({4, 7}).entry, 1);
    EXPECT_TRUE(kept.ofThisDisk);

    // Decided again: one row, the newer verdict and time, the note kept when none is given.
    std::int64_t again = 0;
    ASSERT_FALSE(
        log.SetVerdict(disk, MadeUpPerson(2, 1), MadeUpPerson(4, 7), Sameness::NotSame, nullptr, &again)
            .Failed());
    EXPECT_EQ(again, id);
    ASSERT_FALSE(log.VerdictOn(disk, {2, 1}, {4, 7}, found, kept).Failed());
    EXPECT_EQ(PairText(kept), "2:1-4:7 not-same [the colonel of the 20th Maine]");
    EXPECT_EQ(kept.time, "2026-12-09T10:00:03+00:00");

    const struct {
        PersonPlace place;
        std::size_t count;
    } ofPerson[] = {{{2, 1}, 2}, {{4, 7}, 1}, {{2, 3}, 1}, {{2, 2}, 0}};
    for (const auto& c : ofPerson) {
        std::vector<PairVerdict> verdicts;
        ASSERT_FALSE(log.VerdictsOf(disk, c.place, verdicts).Failed());
        EXPECT_EQ(verdicts.size(), c.count) << c.place.code << ":" << c.place.entry;
    }
    std::vector<PairVerdict> listed;
    ASSERT_FALSE(log.Verdicts(&disk, false, listed).Failed());
    EXPECT_EQ(listed.size(), 2u);
    ASSERT_FALSE(log.Verdicts(&disk, true, listed).Failed());
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_FALSE(listed[1].ofThisDisk);

    // Taken back, and put back with its id, time and note.
    PairVerdict removed;
    ASSERT_FALSE(log.RemoveVerdict(id, found, removed).Failed());
    EXPECT_TRUE(found);
    ASSERT_FALSE(log.VerdictOn(disk, {2, 1}, {4, 7}, found, kept).Failed());
    EXPECT_FALSE(found);
    PairVerdict none;
    ASSERT_FALSE(log.RemoveVerdict(id, found, none).Failed());
    EXPECT_FALSE(found) << "taken back once";
    ASSERT_FALSE(log.UndoRemoveVerdict(removed).Failed());
    ASSERT_FALSE(log.VerdictOn(disk, {4, 7}, {2, 1}, found, kept).Failed());
    ASSERT_TRUE(found);
    EXPECT_EQ(kept.id, id);
    EXPECT_EQ(kept.time, "2026-12-09T10:00:03+00:00");
    EXPECT_EQ(PairText(kept), "2:1-4:7 not-same [the colonel of the 20th Maine]");
}

TEST_F(LinkVerdicts, WhatIsNoPairIsRefusedAndRowsNotWrittenByTheLogAreSkipped) {
    CResearchLog log(LogAt(Path()));
    const DiskIdentity disk = MadeUpDisk(1);
    PersonOnDisk noSurname = MadeUpPerson(2, 4);
    noSurname.surname.clear();
    const std::string tab = "a\tb";
    const struct {
        const char* what;
        PersonOnDisk a, b;
        const std::string* note;
    } refused[] = {
        {"a record with itself", MadeUpPerson(2, 1), MadeUpPerson(2, 1), nullptr},
        {"no such database", MadeUpPerson(99, 1), MadeUpPerson(2, 1), nullptr},
        {"a negative entry", MadeUpPerson(2, -1), MadeUpPerson(2, 1), nullptr},
        {"no surname", MadeUpPerson(2, 1), noSurname, nullptr},
        {"a tab in the note", MadeUpPerson(2, 1), MadeUpPerson(4, 1), &tab},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(log.SetVerdict(disk, c.a, c.b, Sameness::Same, c.note).error.kind, LogErrorKind::Refused)
            << c.what;
    }
    LogOptions off = LogAt(Path());
    off.keep = false;
    CResearchLog turnedOff(off);
    EXPECT_EQ(turnedOff.SetVerdict(disk, MadeUpPerson(2, 1), MadeUpPerson(4, 1), Sameness::Same, nullptr)
                  .error.kind,
              LogErrorKind::TurnedOff);

    ASSERT_FALSE(
        log.SetVerdict(disk, MadeUpPerson(2, 1), MadeUpPerson(4, 1), Sameness::Same, nullptr).Failed());
    // Edited by hand: a verdict the log does not know, a pair out of its order.
    ASSERT_TRUE(RunSql(Path(),
                       "INSERT INTO verdicts(disk, database1, entry1, surname1, database2, entry2, surname2, "
                       "verdict, time) VALUES('" +
                           disk.fingerprint +
                           "', 'civmoh', 5, 'A', 'unigen', 5, 'A', 'maybe', '2026-01-02T03:04:08+01:00'),('" +
                           disk.fingerprint +
                           "', 'unigen', 6, 'A', 'civmoh', 6, 'A', 'same', '2026-01-02T03:04:08+01:00')"));
    std::vector<PairVerdict> listed;
    const LogOutcome outcome = log.Verdicts(&disk, false, listed);
    EXPECT_EQ(listed.size(), 1u);
    EXPECT_EQ(outcome.skipped, 2);
    EXPECT_EQ(SqlInteger(Path(), "SELECT count(*) FROM verdicts"), 3);
}

// People of one surname to link: the medal's Joshua L. and the general's
// Joshua Lawrence (likely), another Chamberlain the blocking never brings,
// and a Smith.
linkage::CLinkIndex& Chamberlains(linkage::CLinkIndex& index) {
    using linkage::FactsOf;
    const std::vector<std::string> generals{"Born", "Died", "Prewar profession"};
    const std::vector<std::string> medal{"Rank and organization", "Place and date", "Entered service at",
                                         "Born"};
    const struct {
        int code;
        std::int32_t entry;
        const char* surname;
        const char* given;
        const std::vector<std::string>* headings;
        std::vector<std::string> fields;
    } people[] = {
        {2,
         10,
         "CHAMBERLAIN",
         "Joshua L.",
         &medal,
         {"Colonel, 20th Maine", "2 July 1863", "Brunswick, Maine", "8 September 1828"}},
        {4, 20, "CHAMBERLAIN", "Joshua Lawrence", &generals, {"8 September 1828, Brewer, Maine", "1914", ""}},
        {4, 21, "CHAMBERLAIN", "Thomas", &generals, {"1841, Brewer, Maine", "1896", ""}},
        {4, 22, "SMITH", "Joshua", &generals, {"1828, Maine", "1900", ""}},
    };
    for (const auto& p : people) {
        index.Add(linkage::LinkPerson{p.code, p.entry, p.surname, p.given,
                                      FactsOf(p.code, p.surname, p.given, p.fields, *p.headings)});
    }
    index.Finish();
    return index;
}

TEST(LinkVerdictsHonoured, ARefusedPairIsNeverProposedAndAConfirmedOneIsShownConfirmed) {
    using linkage::Known;
    using linkage::RecordPlace;
    const CGivenNameTable& names = CGivenNameTable::Builtin();
    linkage::CLinkIndex index(names);
    Chamberlains(index);
    const RecordPlace medal{2, 10};
    const RecordPlace general{4, 20};
    const RecordPlace thomas{4, 21};
    const RecordPlace smith{4, 22};
    const struct {
        const char* what;
        std::vector<std::pair<RecordPlace, Known>> said;  // verdicts on the medal's man and another
        const char* links;                                // of the medal's man: entry and verdict shown
        const char* all;                                  // every pair: entries and verdict shown
    } cases[] = {
        {"nothing said", {}, "20 likely", "10-20 likely"},
        {"refused", {{general, Known::NotSame}}, "", ""},
        {"confirmed", {{general, Known::Same}}, "20 confirmed", "10-20 confirmed"},
        {"confirmed beyond the blocking: first, with its judgement",
         {{smith, Known::Same}},
         "22 confirmed, 20 likely",
         "10-20 likely, 10-22 confirmed"},
        {"refused and confirmed",
         {{general, Known::NotSame}, {thomas, Known::Same}},
         "21 confirmed",
         "10-21 confirmed"},
        {"said and taken back",
         {{general, Known::NotSame}, {general, Known::Unknown}},
         "20 likely",
         "10-20 likely"},
    };
    for (const auto& c : cases) {
        linkage::CKnownPairs known;
        for (const auto& s : c.said) known.Set(s.first, medal, s.second);
        std::string links;
        for (const linkage::Link& link : linkage::LinksOf(index, 0, names, &known)) {
            links += std::string(links.empty() ? "" : ", ") +
                     std::to_string(index.People()[link.other].entry) + " " +
                     linkage::ShownVerdict(link.judgement, link.confirmed);
        }
        EXPECT_EQ(links, c.links) << c.what;
        std::string all;
        for (const linkage::LinkPair& pair : linkage::AllLinks(index, names, &known)) {
            all += std::string(all.empty() ? "" : ", ") + std::to_string(index.People()[pair.first].entry) +
                   "-" + std::to_string(index.People()[pair.second].entry) + " " +
                   linkage::ShownVerdict(pair.judgement, pair.confirmed);
        }
        EXPECT_EQ(all, c.all) << c.what;
    }
}

const char kTool[] = CHRONARA_BINARY_DIR "/tools/query/chronara-query";
const char kSample[] = CHRONARA_BINARY_DIR "/sample-disk";

TEST(LinkVerdictsOfTheTool, VerdictsKeptByTheToolCountForLinksWithLog) {
    const TempDir data;
    const TempDir config;
    auto query = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", kSample});
        return testing_support::RunProgram(
            kTool, args, {{"XDG_DATA_HOME", data.Path()}, {"XDG_CONFIG_HOME", config.Path()}});
    };
    const std::vector<std::string> page{"--database",   "civmoh", "--surname", "Chamberlain",
                                        "--first-name", "Joshua", "--links",   "0"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> args = page;
        args.insert(args.end(), more.begin(), more.end());
        return query(args);
    };
    testing_support::ToolRun run = with({});
    ASSERT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(run.out.rfind("unigen\t", 0), 0u) << run.out;
    const std::string general = "unigen:" + run.out.substr(7, run.out.find('\t', 7) - 7);
    const std::string pairCells = "\tunigen\t" + general.substr(7) + "\t";

    const struct {
        const char* verdict;  // kept first (null: none)
        bool log;             // --links and --links-all with --log
        const char* shown;    // the general's verdict column, or "" when left out
    } cases[] = {
        {"not-same", true, ""},
        {nullptr, false, "likely"},  // without --log, the log is not read
        {"same", true, "confirmed"},
        {"none", true, "likely"},
    };
    for (const auto& c : cases) {
        if (c.verdict != nullptr) {
            run = with({"--verdict", c.verdict, "--with", general, "--note", "the colonel"});
            ASSERT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, "") << "a verdict prints nothing";
        }
        run = c.log ? with({"--log"}) : with({});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::size_t line = run.out.find(general.substr(0, 6) + "\t" + general.substr(7) + "\t");
        const std::string shown = std::string("\t") + c.shown + "\t";
        EXPECT_EQ(line != std::string::npos, *c.shown != '\0') << c.shown << run.out;
        if (*c.shown != '\0') {
            EXPECT_NE(run.out.find(shown, line), std::string::npos) << run.out;
        }
        std::vector<std::string> all{"--links-all", "--database", "all"};
        if (c.log) all.push_back("--log");
        run = query(all);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::size_t pair = run.out.find(pairCells);
        EXPECT_EQ(pair != std::string::npos, *c.shown != '\0') << c.shown;
        if (pair != std::string::npos) {
            // stem1, entry1, stem2, entry2, score, then the verdict.
            const std::size_t score = run.out.find('\t', pair + pairCells.size());
            EXPECT_EQ(run.out.compare(score, shown.size(), shown), 0) << run.out.substr(pair, 80);
        }
    }

    const struct {
        std::vector<std::string> more;
        const char* message;
    } refused[] = {
        {{"--verdict", "maybe", "--with", general}, "--verdict is same, not-same or none"},
        {{"--verdict", "same"}, "--verdict and --with go together"},
        {{"--verdict", "same", "--with", "unigen"}, "--with: DB:ENTRY is a database and an entry"},
        {{"--verdict", "same", "--with", "unigen:99999999"}, "unigen has no entry 99999999"},
        {{"--verdict", "same", "--with", "civmoh:-1"}, "--with: DB:ENTRY"},
    };
    for (const auto& r : refused) {
        run = with(r.more);
        EXPECT_EQ(run.status, 2) << r.message;
        EXPECT_NE(run.err.find(r.message), std::string::npos) << run.err;
    }
    run = query({"--database", "civmoh", "--surname", "Chamberlain", "--verdict", "same", "--with", general});
    EXPECT_NE(run.err.find("it needs --links"), std::string::npos) << run.err;
}

}  // namespace
