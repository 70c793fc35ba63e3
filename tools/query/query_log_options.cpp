#include "tools/query/query_log_options.h"

#include <cstdint>
#include <cstring>

#include "browse/research_log/log_entries.h"
#include "browse/research_log/log_rows.h"
#include "store/catalogue.h"
#include "store/cp1252.h"

namespace query_tool {
namespace {

bool ParseFormat(const char* text, bool saved, LogFormat& format, std::string& error) {
    if (text == nullptr || std::strcmp(text, "tsv") == 0) {
        format = LogFormat::Tsv;
    } else if (std::strcmp(text, "json") == 0) {
        format = LogFormat::Json;
    } else if (saved && std::strcmp(text, "csv") == 0) {
        format = LogFormat::Csv;
    } else if (saved && std::strcmp(text, "gedcom") == 0) {
        format = LogFormat::Gedcom;
    } else {
        error = saved ? std::string("--saved: --format must be tsv, json, csv or gedcom, not '") + text + "'"
                      : std::string("--history: --format must be tsv or json, not '") + text + "'";
        return false;
    }
    return true;
}

// Digits with an optional minus sign, clamped as the other row numbers are.
bool ParseRow(const char* text, long& value) {
    const bool negative = text[0] == '-';
    const char* digits = negative ? text + 1 : text;
    if (*digits == '\0') return false;
    value = 0;
    for (const char* p = digits; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        if (value < 1000000) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    return true;
}

// --verdict WORD --with DB:ENTRY.
bool ConvertVerdict(const LogArguments& arguments, bool page, LogRequest& request, std::string& error) {
    if (arguments.verdict == nullptr && arguments.with == nullptr) return true;
    if (arguments.verdict == nullptr || arguments.with == nullptr) {
        error = "--verdict and --with go together: the verdict, and the record it is on";
        return false;
    }
    if (!page) {
        error = "--verdict is on the person of --links ROW: it is not for --list or a record search";
        return false;
    }
    const std::string word = arguments.verdict;
    if (word == "same") {
        request.verdict = LogRequest::Verdict::Same;
    } else if (word == "not-same") {
        request.verdict = LogRequest::Verdict::NotSame;
    } else if (word == "none") {
        request.verdict = LogRequest::Verdict::Forget;
    } else {
        error = "--verdict is same, not-same or none, not '" + word + "'";
        return false;
    }
    const std::string with = arguments.with;
    const std::size_t colon = with.find(':');
    // An entry as it is, never clamped: a wrong entry would be another person.
    std::int64_t entry = -1;
    if (colon != std::string::npos && colon + 1 < with.size() && with.size() - colon <= 11) {
        request.withCode = catalogue::CodeOfStem(with.substr(0, colon).c_str());
        entry = 0;
        for (std::size_t k = colon + 1; k < with.size() && entry >= 0; ++k) {
            const char c = with[k];
            entry = c >= '0' && c <= '9' ? entry * 10 + (c - '0') : -1;
        }
        if (entry > INT32_MAX) entry = -1;
    }
    if (colon == std::string::npos || request.withCode == 0 || entry < 0) {
        error = "--with: DB:ENTRY is a database and an entry as --links prints them, such as unigen:57";
        return false;
    }
    request.withEntry = static_cast<std::int32_t>(entry);
    return true;
}

}  // namespace

bool ConvertLogMode(const LogArguments& arguments, const char* format, bool raw, LogRequest& request,
                    std::string& error) {
    const char* mode = arguments.history ? "--history" : "--saved";
    if (arguments.history && arguments.saved) {
        error = "--history and --saved are two answers: give one of them";
        return false;
    }
    const struct {
        bool given;
        const char* name;
    } others[] = {{arguments.log, "--log"},
                  {arguments.save != nullptr, "--save"},
                  {arguments.verdict != nullptr, "--verdict"},
                  {arguments.with != nullptr, "--with"},
                  {arguments.note != nullptr, "--note"},
                  {arguments.history && arguments.allDisks, "--all-disks"}};
    for (const auto& other : others) {
        if (other.given) {
            error = std::string(other.name) + " is not for " + mode;
            return false;
        }
    }
    request.mode = arguments.history ? LogMode::History : LogMode::Saved;
    request.allDisks = arguments.allDisks;
    if (!ParseFormat(format, arguments.saved, request.format, error)) return false;
    if (raw && request.format != LogFormat::Tsv) {
        error = "--raw writes Windows-1252 bytes, but JSON and the exports are UTF-8";
        return false;
    }
    if (request.allDisks && request.format != LogFormat::Tsv && request.format != LogFormat::Json) {
        error =
            "--all-disks lists people of other disks too, whose records are not on this disk: it goes with "
            "--format "
            "tsv or json";
        return false;
    }
    return true;
}

static bool TakeNote(const LogArguments& arguments, bool raw, LogRequest& request, std::string& error);

bool ConvertLogOfSearch(const LogArguments& arguments, bool page, bool raw, LogRequest& request,
                        std::string& error) {
    request.log = arguments.log;
    if (arguments.allDisks) {
        error = "--all-disks needs --saved";
        return false;
    }
    if (arguments.note != nullptr && arguments.save == nullptr && arguments.verdict == nullptr) {
        error = "--note goes with --save or --verdict";
        return false;
    }
    if (!ConvertVerdict(arguments, page, request, error)) return false;
    if (arguments.save != nullptr && arguments.verdict != nullptr) {
        error = "--save and --verdict each keep one thing: give one of them";
        return false;
    }
    if (arguments.save == nullptr) return TakeNote(arguments, raw, request, error);
    if (!page) {
        error = "--save saves a person of a page: it is not for --list or a record search";
        return false;
    }
    if (!ParseRow(arguments.save, request.saveRow)) {
        error = "--save: ROW must be a row number";
        return false;
    }
    request.hasSave = true;
    return TakeNote(arguments, raw, request, error);
}

static bool TakeNote(const LogArguments& arguments, bool raw, LogRequest& request, std::string& error) {
    if (arguments.note == nullptr) return true;
    request.hasNote = true;
    const std::string_view note = arguments.note;
    std::string reason;
    if (raw) {
        request.note.assign(note.data(), note.size());
    } else if (!cp1252::FromUtf8(note, request.note, &reason)) {
        error = "--note: " + reason;
        return false;
    }
    if (!research_log::log_rows::IsKeepable(request.note, research_log::kMaxNote)) {
        error = "--note: a note is one line of at most " + std::to_string(research_log::kMaxNote) +
                " characters, without tabs or control characters";
        return false;
    }
    return true;
}

}  // namespace query_tool
