// The I/O fault sweep: every command a user gives (a search, turns both
// ways, More Info, a first-name search of several pages, a surname that is
// not there, a record search while its index is built, read, or not kept)
// is run once with no fault, then again with the K-th file call
// failing, for every K and every kind of fault. Each run must either give
// the answer of the run without faults, or stop with a message and a status
// that says it failed; the data folder must be left byte for byte as it
// was; and the next run, with the disk sound again, must give the whole
// answer.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "browse/export/hit_export.h"
#include "browse/record_search/record_search.h"
#include "browse/record_text/search_messages.h"
#include "browse/record_text/whole_record.h"
#include "browse/session/history_buffer.h"
#include "browse/session/search_session.h"
#include "store/database_about.h"
#include "store/database_writer.h"
#include "store/directories.h"
#include "store/disk_format.h"
#include "support/failing_io.h"
#include "support/shown_outcome.h"
#include "support/test_support.h"

using testing_support::BoxPrompt;
using testing_support::ExitCatcher;
using testing_support::FailingIo;
using testing_support::FaultMode;
using testing_support::ProcessExited;
using testing_support::ReadFileBytes;
using testing_support::ScriptedResponder;
using testing_support::Shown;
using testing_support::TempDir;

namespace {

constexpr int kCode = 11;

struct Script {
    const char* name;
    const char* surname;
    const char* firstName;
    const char* turns;  // n: Next, p: Prev, as the buttons allow them; s: the search again
    int moreInfoRow;    // -1: none
    // Another buffer shows its hits from history.buf meanwhile, so the hits
    // go to a private file.
    bool beside = false;
    // The whole record of a row (-1: none), with its headings and provenance;
    // every hit exported with its headings.
    int wholeRecordRow = -1;
    bool exportHits = false;
};

const Script kScripts[] = {
    {"search and turns", "smith", nullptr, "nnpp", -1},
    {"more info", "smith", nullptr, "n", 3},
    {"first name over pages", "smith", "john", "nnp", 1},
    {"not there", "nobody", nullptr, "", -1},
    {"the same search again", "smith", "mary", "snsn", 0},
    {"first name beside another's hits", "smith", "john", "nnp", 1, true},
    {"whole record and export", "smith", "john", "n", -1, false, 2, true},
};

// What the user saw: every page shown, then the More Info text; and the
// status the query tool would end with (0 when everything was shown).
struct Outcome {
    int status = 0;
    std::string shown;
    std::vector<std::string> messages;
};

std::string Page(CSearchSession& session) {
    std::string page = std::to_string(session.RecordCount()) + " records found.\n";
    char row[CResultPager::kRowTextSize];
    for (int i = 0; i < session.RowsOnPage(); ++i) {
        session.FormatRow(i, row);
        page += row;
        page += '\n';
    }
    page += session.HasPrev() ? "prev=on " : "prev=off ";
    page += session.HasNext() ? "next=on\n" : "next=off\n";
    return page;
}

Outcome RunScript(const CDirectories& dirs, const Script& script) {
    ScriptedResponder boxes;
    Outcome outcome;
    {
        CSearchSession session(dirs, BoxPrompt());
        const SearchOutcome searched = Shown(session.SearchCode(kCode, script.surname, script.firstName));
        if (searched.status == SearchStatus::Found || searched.status == SearchStatus::NotFound) {
            outcome.shown = Page(session);
            for (const char* turn = script.turns; *turn != '\0' && outcome.status == 0; ++turn) {
                if (*turn == 's') {
                    const SearchStatus again =
                        Shown(session.SearchCode(kCode, script.surname, script.firstName)).status;
                    if (again != SearchStatus::Found && again != SearchStatus::NotFound) {
                        outcome.status = 1;
                    } else {
                        outcome.shown += Page(session);
                    }
                    continue;
                }
                const bool next = *turn == 'n';
                if (!(next ? session.HasNext() : session.HasPrev())) continue;
                if (Shown(session.TurnPage(next)).status != SearchStatus::Found) {
                    outcome.status = 1;
                } else {
                    outcome.shown += Page(session);
                }
            }
            if (outcome.status == 0 && script.wholeRecordRow >= 0) {
                FoundPerson person;
                std::vector<ProvenanceEntry> provenance;
                if (Shown(session.PersonOfRow(script.wholeRecordRow, person)).status != SearchStatus::Found ||
                    Shown(session.ReadProvenance(kCode, provenance)).status != SearchStatus::Found) {
                    outcome.status = 1;
                } else {
                    outcome.shown += whole_record::Text(person, provenance);
                }
            }
            if (outcome.status == 0 && script.exportHits) {
                std::vector<ExportedHit> hits;
                if (Shown(session.CollectHits(hits)).status != SearchStatus::Found) {
                    outcome.status = 1;
                } else {
                    outcome.shown += hit_export::AsCsv(kCode, hits);
                }
            }
            if (outcome.status == 0 && script.moreInfoRow >= 0) {
                const RecordOutcome record = Shown(session.FullText(script.moreInfoRow));
                if (record.status != SearchStatus::Found) {
                    outcome.status = 1;
                } else {
                    outcome.shown += record.text;
                }
            }
        } else {
            outcome.status = 1;
        }
    }
    outcome.messages = boxes.Texts();
    return outcome;
}

std::map<std::string, std::string> FolderBytes(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files[entry.path().filename().string()] = ReadFileBytes(entry.path().string());
    }
    return files;
}

bool IsClearMessage(const std::string& text) {
    for (const char* start :
         {"Could not read ", "Could not open ", "Please insert ", "The first-name search could not be done",
          "The first-name search is incomplete"}) {
        if (text.rfind(start, 0) == 0) return true;
    }
    return false;
}

class FaultSweep : public ::testing::Test {
protected:
    void SetUp() override {
        CDatabaseWriter writer(kCode);
        std::string error;
        for (int i = 0; i < 25; ++i) {
            const std::string given = (i % 5 == 4 ? "Mary " : "John ") + std::to_string(i);
            ASSERT_TRUE(writer.Add(
                {"Smith",
                 given,
                 {"J", "Ohio", "PFC", "7th Inf " + std::to_string(i), i % 3 == 0 ? "1944" : "1945, 1944"}},
                &error));
        }
        ASSERT_TRUE(writer.Add({"Lee", "Robert", {"E", "Virginia"}}, &error));
        ASSERT_TRUE(writer.Write(data_.Path(), 0, &error)) << error;
        // Headings and provenance, which the whole record, the export and the record search read.
        ASSERT_TRUE(WriteDatabaseAbout(
            data_.Path(), kCode, {{"Middle initial", "State", "Rank", "Unit"}, {{"Title", "Graves"}}}, error))
            << error;
        testing_support::WriteFileBytes(data_.File(disk_format::kMarkerFileName), "");
        dirs_.SetDataDir(data_.Path().c_str());
        dirs_.SetInstallDir(install_.Path().c_str());
    }

    TempDir data_;
    TempDir install_;
    CDirectories dirs_;
    std::int32_t pageSize_ = 10;
};

TEST_F(FaultSweep, EveryCallOfEveryCommandFailsInTurn) {
    ExitCatcher exits;  // an I/O error must never end the process
    struct Fault {
        FaultMode mode;
        int error;
    };
    const Fault faults[] = {{FaultMode::Once, EIO},          {FaultMode::Once, ENOSPC},
                            {FaultMode::Once, ENOMEM},       {FaultMode::FromThenOn, EIO},
                            {FaultMode::Interrupted, EINTR}, {FaultMode::Partial, 0}};
    const auto before = FolderBytes(data_.Path());
    long runs = 0;
    long failures = 0;
    for (const Script& script : kScripts) {
        std::unique_ptr<CHistoryBuffer> other;
        if (script.beside) {
            other = std::make_unique<CHistoryBuffer>(
                (install_.Path() + "/" + disk_format::kHistoryFileName).c_str(), pageSize_);
            ASSERT_TRUE(other->Reopen());
            other->Append(1, "Other", nullptr);
            other->Count();
        }
        // What the installation folder holds beside another's hits: those
        // hits, and nothing of this session's.
        const auto installed = FolderBytes(install_.Path());
        const Outcome sound = RunScript(dirs_, script);
        ASSERT_EQ(sound.status, 0) << script.name;
        ASSERT_TRUE(sound.messages.empty()) << script.name << ": " << sound.messages.front();
        long calls = 0;
        {
            FailingIo counting(FaultMode::Once, 0);
            RunScript(dirs_, script);
            calls = counting.Calls();
        }
        ASSERT_GT(calls, 10) << script.name;
        for (const Fault& fault : faults) {
            for (long k = 1; k <= calls + 1; ++k) {
                SCOPED_TRACE(std::string(script.name) + ", " + FailingIo::ModeName(fault.mode) + " " +
                             std::to_string(fault.error) + " at call " + std::to_string(k));
                Outcome faulty;
                bool struck = false;
                try {
                    FailingIo io(fault.mode, k, fault.error);
                    faulty = RunScript(dirs_, script);
                    struck = io.Struck();
                } catch (const ProcessExited& exited) {
                    ADD_FAILURE() << "the process ended with status " << exited.status;
                    continue;
                }
                ++runs;
                const bool transparent =
                    fault.mode == FaultMode::Interrupted || fault.mode == FaultMode::Partial;
                if (faulty.status == 0) {
                    // A fault that changed nothing the user sees, and said nothing.
                    EXPECT_EQ(faulty.shown, sound.shown);
                    EXPECT_TRUE(faulty.messages.empty()) << faulty.messages.front();
                } else {
                    ++failures;
                    EXPECT_TRUE(struck && !transparent) << "failed without a fault that could fail it";
                    ASSERT_FALSE(faulty.messages.empty()) << "a failure without a word";
                    EXPECT_TRUE(IsClearMessage(faulty.messages.back())) << faulty.messages.back();
                }
                EXPECT_EQ(FolderBytes(data_.Path()), before) << "the data folder changed";
                if (script.beside) {
                    EXPECT_EQ(FolderBytes(install_.Path()), installed);
                }
                // The disk sound again: the whole answer at once.
                const Outcome again = RunScript(dirs_, script);
                EXPECT_EQ(again.status, 0);
                EXPECT_EQ(again.shown, sound.shown);
                if (HasFatalFailure() || HasFailure()) return;
            }
        }
    }
    RecordProperty("runs", static_cast<int>(runs));
    RecordProperty("failures", static_cast<int>(failures));
    std::printf("fault sweep: %ld runs, %ld stopped with a message\n", runs, failures);
}

}  // namespace

namespace {

// A record search, as the tool runs it: the people found and their facets,
// or the status and the message of what failed.
struct FoundOutcome {
    FindStatus status = FindStatus::Done;
    std::string people;
    std::string message;
};

FoundOutcome FindAll(const CDirectories& dirs, const std::string& cache, const char* text,
                     bool keepWalked = true) {
    FoundOutcome outcome;
    RecordSearchRequest request;
    request.keepWalked = keepWalked;
    request.query = record_query::Parse(text).query;
    request.abbreviations = true;
    request.codes = {kCode};
    CRecordSearch search(dirs, cache);
    const FindOutcome found = search.Run(request);
    outcome.status = found.status;
    outcome.message = search_messages::MessageOf(found.error);
    for (std::int64_t i = 0; found.status == FindStatus::Done && i < search.Count(); ++i) {
        RecordHit person;
        const StoreError error = search.Person(i, person);
        if (error.Failed()) {
            outcome.status = FindStatus::Failed;
            outcome.message = search_messages::MessageOf(error);
            return outcome;
        }
        outcome.people += std::to_string(person.entry) + " " + person.surname + " " + person.summary + "\n";
    }
    if (found.status != FindStatus::Done) return outcome;
    facets::FacetRequest asked;
    asked.databases = asked.years = asked.values = true;
    std::string error;
    record_fields::ParseFieldChoice("rank", asked.valuesField, error);
    facets::FacetCounts counts;
    const FindOutcome counted = search.Facets(asked, counts);
    if (counted.status != FindStatus::Done) {
        outcome.status = counted.status;
        outcome.message = search_messages::MessageOf(counted.error);
        return outcome;
    }
    for (const facets::DatabaseCount& one : counts.databases)
        outcome.people += std::to_string(one.code) + ": " + std::to_string(one.count) + "\n";
    for (const facets::YearCount& one : counts.years)
        outcome.people += std::to_string(one.year) + ": " + std::to_string(one.count) + "\n";
    for (const facets::ValueCount& one : counts.values)
        outcome.people += one.value + ": " + std::to_string(one.count) + "\n";
    return outcome;
}

bool TemporaryFilesLeft(const std::string& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().filename().string().find(".tmp-") != std::string::npos) return true;
    }
    return false;
}

void RemoveTemporaryFiles(const std::string& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().filename().string().find(".tmp-") != std::string::npos)
            std::filesystem::remove(entry.path());
    }
}

TEST_F(FaultSweep, RecordSearchGivesTheAnswerOrSaysWhyAtEveryFault) {
    ExitCatcher exits;
    const TempDir cache;
    const std::string folder = cache.Path() + "/chronara/";
    const auto before = FolderBytes(data_.Path());
    const FoundOutcome sound = FindAll(dirs_, "", "\"7th inf\" OR \"private first class\" smith -robert");
    ASSERT_EQ(sound.status, FindStatus::Done);
    ASSERT_FALSE(sound.people.empty());
    // The index built during the search, the index only read, and no index.
    enum class Cache { Building, Built, None };
    long runs = 0;
    long failures = 0;
    for (const Cache kind : {Cache::Building, Cache::Built, Cache::None}) {
        auto prepare = [&] {
            if (kind == Cache::Building) std::filesystem::remove_all(folder);
            if (kind == Cache::Built) {
                EXPECT_EQ(FindAll(dirs_, folder, "smith").status, FindStatus::Done);
            }
        };
        const std::string where = kind == Cache::None ? std::string() : folder;
        // The index only read: the count keeps a first page of the people, the rest listed again.
        const bool keep = kind != Cache::Built;
        prepare();
        long calls = 0;
        {
            FailingIo counting(FaultMode::Once, 0);
            FindAll(dirs_, where, "\"7th inf\" OR \"private first class\" smith -robert", keep);
            calls = counting.Calls();
        }
        for (const FaultMode mode :
             {FaultMode::Once, FaultMode::FromThenOn, FaultMode::Interrupted, FaultMode::Partial}) {
            // Reading the records without an index is the page search's own reading, swept above.
            if (kind == Cache::None && (mode == FaultMode::Interrupted || mode == FaultMode::Partial))
                continue;
            for (long k = 1; k <= calls + 1; ++k) {
                SCOPED_TRACE(FailingIo::ModeName(mode) + " at call " + std::to_string(k) + " of " +
                             std::to_string(calls) + ", cache " + std::to_string(static_cast<int>(kind)));
                prepare();
                FoundOutcome faulty;
                try {
                    FailingIo io(mode, k);
                    faulty =
                        FindAll(dirs_, where, "\"7th inf\" OR \"private first class\" smith -robert", keep);
                } catch (const ProcessExited& exited) {
                    ADD_FAILURE() << "the process ended with status " << exited.status;
                    continue;
                }
                ++runs;
                if (faulty.status == FindStatus::Done) {
                    EXPECT_EQ(faulty.people, sound.people) << "fewer or other people without a word";
                } else {
                    ++failures;
                    // The marker that could not be opened: the disk is said to be missing.
                    if (faulty.status != FindStatus::NoDisk) {
                        EXPECT_EQ(faulty.status, FindStatus::Failed);
                        EXPECT_TRUE(IsClearMessage(faulty.message)) << faulty.message;
                    }
                    EXPECT_TRUE(mode == FaultMode::Once || mode == FaultMode::FromThenOn)
                        << "failed on a fault that can be overcome";
                }
                EXPECT_EQ(FolderBytes(data_.Path()), before) << "the data folder changed";
                // Only a file system that refuses every call from then on, the
                // removal too, may keep a temporary file (it goes a day later).
                if (mode != FaultMode::FromThenOn) {
                    EXPECT_FALSE(TemporaryFilesLeft(folder)) << "a half-written index was left behind";
                } else {
                    RemoveTemporaryFiles(folder);
                }
                // After a failure, the disk sound again: the whole answer at once.
                if (faulty.status != FindStatus::Done) {
                    EXPECT_EQ(
                        FindAll(dirs_, where, "\"7th inf\" OR \"private first class\" smith -robert", keep)
                            .people,
                        sound.people);
                }
                if (HasFailure()) return;
            }
        }
    }
    std::printf("record search fault sweep: %ld runs, %ld stopped with a message\n", runs, failures);
}

}  // namespace
