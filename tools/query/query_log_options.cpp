#include "tools/query/query_log_options.h"

#include <cstring>

#include "browse/research_log/log_entries.h"
#include "browse/research_log/log_rows.h"
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

bool ConvertLogOfSearch(const LogArguments& arguments, bool page, bool raw, LogRequest& request,
                        std::string& error) {
    request.log = arguments.log;
    if (arguments.allDisks) {
        error = "--all-disks needs --saved";
        return false;
    }
    if (arguments.note != nullptr && arguments.save == nullptr) {
        error = "--note goes with --save";
        return false;
    }
    if (arguments.save == nullptr) return true;
    if (!page) {
        error = "--save saves a person of a page: it is not for --list or a record search";
        return false;
    }
    if (!ParseRow(arguments.save, request.saveRow)) {
        error = "--save: ROW must be a row number";
        return false;
    }
    request.hasSave = true;
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
