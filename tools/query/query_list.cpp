#include "tools/query/query_list.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "browse/export/hit_export.h"
#include "browse/names/surname_listing.h"
#include "browse/record_text/search_messages.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "store/cp1252.h"
#include "store/directories.h"
#include "tools/query/query_batch.h"
#include "tools/query/query_exit.h"
#include "tools/query/query_log.h"
#include "tools/query/query_services.h"

namespace query_tool {
namespace {

class Printer {
public:
    explicit Printer(bool raw) : raw_(raw) {}
    // Windows-1252 text as the terminal gets it.
    std::string Text(const std::string& windows1252) const {
        return raw_ ? windows1252 : cp1252::ToUtf8(windows1252);
    }
    void Put(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

private:
    bool raw_;
};

// A surname of a batch file, printed as the query of its matches.
struct BatchLine {
    std::string surname;
};

// Close spellings also give each match's distance.
void PrintTsv(const std::vector<BatchLine>& queries, const ListingOutcome& outcome, bool batch, bool close,
              Printer& out) {
    for (std::size_t q = 0; q < queries.size(); ++q) {
        for (const ListedSurname& match : outcome.matches[q]) {
            std::string line = batch ? out.Text(queries[q].surname) + "\t" : std::string();
            line += std::string(catalogue::StemOf(match.code)) + "\t" + out.Text(match.surname) + "\t" +
                    std::to_string(match.count);
            if (close) line += "\t" + std::to_string(match.distance);
            out.Put(line + "\n");
        }
    }
}

void PrintJson(const std::vector<BatchLine>& queries, const ListingOutcome& outcome, bool batch, bool close,
               Printer& out) {
    std::string text = "[";
    bool first = true;
    for (std::size_t q = 0; q < queries.size(); ++q) {
        for (const ListedSurname& match : outcome.matches[q]) {
            text += first ? "\n  {" : ",\n  {";
            first = false;
            if (batch) text += "\"query\": " + hit_export::JsonString(queries[q].surname) + ", ";
            text += "\"database\": " + hit_export::JsonString(catalogue::StemOf(match.code)) +
                    ", \"title\": " + hit_export::JsonString(catalogue::NameOfCode(match.code)) +
                    ", \"surname\": " + hit_export::JsonString(match.surname) +
                    ", \"count\": " + std::to_string(match.count);
            if (close) text += ", \"distance\": " + std::to_string(match.distance);
            text += "}";
        }
    }
    text += first ? "]\n" : "\n]\n";
    out.Put(text);
}

void PrintText(const std::vector<BatchLine>& queries, const ListingOutcome& outcome, MatchMode mode,
               Printer& out) {
    for (std::size_t q = 0; q < queries.size(); ++q) {
        const std::vector<ListedSurname>& matches = outcome.matches[q];
        long people = 0;
        int databases = 0;
        bool counted[catalogue::kLastCode + 1] = {};
        for (const ListedSurname& match : matches) {
            people += match.count;
            if (match.code < catalogue::kFirstCode || match.code > catalogue::kLastCode ||
                counted[match.code]) {
                continue;
            }
            counted[match.code] = true;
            ++databases;
        }
        std::string text = "\"" + out.Text(queries[q].surname) + "\" (" + MatchModeName(mode) + "): ";
        if (matches.empty()) {
            text += "no surname matches\n";
        } else {
            text += std::to_string(matches.size()) + (matches.size() == 1 ? " surname, " : " surnames, ") +
                    std::to_string(people) + (people == 1 ? " person" : " people") + " in " +
                    std::to_string(databases) + (databases == 1 ? " database\n" : " databases\n");
        }
        for (std::size_t i = 0; i < matches.size(); ++i) {
            if (mode == MatchMode::Close) {
                // Closest first, so the databases mix: each line names its own.
                text += "    " + out.Text(matches[i].surname) + "  " + std::to_string(matches[i].count) +
                        "  " + catalogue::NameOfCode(matches[i].code) + ", distance " +
                        std::to_string(matches[i].distance) + "\n";
                continue;
            }
            if (i == 0 || matches[i].code != matches[i - 1].code) {
                text += std::string("  ") + catalogue::NameOfCode(matches[i].code) + "\n";
            }
            text += "    " + out.Text(matches[i].surname) + "  " + std::to_string(matches[i].count) + "\n";
        }
        out.Put(text);
    }
}

}  // namespace

int RunList(const QueryOptions& options) {
    std::vector<BatchLine> queries;
    if (options.hasBatch) {
        std::vector<BatchText> lines;
        if (!ReadBatchLines("--batch", options.batchFile, options.raw, kMaxListText, "surname", lines))
            return kExitFailed;
        for (const BatchText& line : lines) queries.push_back(BatchLine{line.text});
    } else {
        queries.push_back(BatchLine{options.surname});
    }
    std::vector<CSurnameMatcher> matchers;
    matchers.reserve(queries.size());
    for (const BatchLine& query : queries) matchers.emplace_back(options.match, query.surname);

    CDirectories dirs;
    LoadDirectoriesOf(options, dirs);
    const std::vector<int> codes =
        options.allDatabases ? catalogue::EveryDatabase() : std::vector<int>{options.code};
    const ListingOutcome outcome =
        surname_listing::List(dirs, codes, matchers, {options.allDatabases, DiskPromptOfTool(dirs)});
    platform::Tell(outcome.messages, outcome.details);
    if (outcome.cancelled) return kExitFailed;
    for (int code : outcome.skipped) {
        Complain(search_messages::SkippedIndexNote(catalogue::NameOfCode(code), catalogue::StemOf(code)));
    }
    // The message of a failure is on stderr; nothing is printed.
    if (outcome.error.Failed()) return ExitStatusOf(outcome.error);
    for (std::size_t q = 0; q < queries.size() && q < outcome.matches.size(); ++q) {
        research_log::AskedSearch asked = AskedOfOptions(options);
        asked.surname = queries[q].surname;
        LogSearch(options, dirs, asked, static_cast<std::int64_t>(outcome.matches[q].size()));
    }

    Printer out(options.raw);
    const bool close = options.match == MatchMode::Close;
    switch (options.format) {
        case ListFormat::Tsv:
            PrintTsv(queries, outcome, options.hasBatch, close, out);
            break;
        case ListFormat::Json:
            PrintJson(queries, outcome, options.hasBatch, close, out);
            break;
        case ListFormat::Text:
            PrintText(queries, outcome, options.match, out);
            break;
    }
    return FinishStandardOutput(kExitSearched);
}

}  // namespace query_tool
