#include "tools/mkdisk/mkdisk_source.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include "store/catalogue.h"
#include "store/cp1252.h"
#include "store/csv_reader.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string At(const std::string& path, long line) { return path + ":" + std::to_string(line) + ": "; }

// "column 3 (age)": counted from 1, with its header text when the header has one.
std::string ColumnName(const std::vector<std::string>& header, std::size_t column) {
    std::string name = "column " + std::to_string(column + 1);
    if (column < header.size()) name += " (" + header[column] + ")";
    return name;
}

bool ReadWhole(const std::string& path, std::string& content, std::string* error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        *error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *error = "not a regular file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = std::strerror(errno);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        *error = "read error";
        return false;
    }
    content = buffer.str();
    return true;
}

// The person of one CSV row: surname, given names, then the record fields,
// each converted to Windows-1252. False, with the reason in errors, for a
// cell that cannot be stored.
bool PersonOfRow(const std::vector<std::string>& header, std::vector<std::string>& row, const std::string& at,
                 PersonRecord& person, std::vector<std::string>& errors) {
    std::string reason;
    for (std::size_t column = 0; column < row.size(); ++column) {
        std::string text;
        if (!cp1252::FromUtf8(row[column], text, &reason)) {
            errors.push_back(at + ColumnName(header, column) + ": " + reason);
            return false;
        }
        if (column == 0) {
            person.surname = std::move(text);
            continue;
        }
        if (column == 1) {
            person.givenNames = std::move(text);
            continue;
        }
        // The writer refuses these too, but here the column can be named.
        const char* problem = text.find('\n') != std::string::npos
                                  ? "holds a line feed, which ends a record on disk"
                              : text.find('\xFF') != std::string::npos
                                  ? "holds the character \xC3\xBF (byte 0xFF), which closes a field on disk"
                                  : nullptr;
        if (problem != nullptr) {
            errors.push_back(at + ColumnName(header, column) + " " + problem);
            return false;
        }
        person.fields.push_back(std::move(text));
    }
    return true;
}

// The header row, which every source begins with; its columns 3 on head the fields.
bool ReadHeader(const std::string& path, CCsvReader& reader, std::vector<std::string>& header,
                std::vector<std::string>& headings, std::vector<std::string>& errors) {
    const CCsvReader::Result first = reader.Next(header);
    if (first == CCsvReader::Result::End) {
        errors.push_back(path + ": the file is empty: the first row must be the header");
        return false;
    }
    if (first == CCsvReader::Result::Error) {
        errors.push_back(At(path, reader.Line()) + reader.Error());
        return false;
    }
    bool headed = true;
    for (std::size_t column = 2; column < header.size(); ++column) {
        std::string text;
        std::string heading;
        std::string reason;
        if (!cp1252::FromUtf8(header[column], text, &reason) ||
            !database_about::TakeHeading(text, heading, reason)) {
            errors.push_back(At(path, reader.Line()) + "the heading of " + ColumnName(header, column) + ": " +
                             reason);
            headed = false;
            continue;
        }
        headings.push_back(std::move(heading));
    }
    if (headings.size() > disk_format::kMaxHeadings) {
        errors.push_back(At(path, reader.Line()) + "the header has " + std::to_string(headings.size()) +
                         " field columns; at most " + std::to_string(disk_format::kMaxHeadings) +
                         " are kept");
        headed = false;
    }
    return headed;
}

}  // namespace

int CodeOfSourcePath(const std::string& path, std::string* error) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string lower = Lower(name);
    int code = 0;
    if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".csv") == 0) {
        code = catalogue::CodeOfStem(lower.substr(0, lower.size() - 4).c_str());
    }
    if (code == 0) {
        std::string stems;
        for (int c = catalogue::kFirstCode; c <= catalogue::kLastCode; ++c) {
            stems += c == catalogue::kFirstCode ? "" : ", ";
            stems += catalogue::StemOf(c);
        }
        *error = path + ": the file name must be <stem>.csv with a database stem (" + stems + ")";
    }
    return code;
}

bool LoadSource(const std::string& path, CDatabaseWriter& writer, std::vector<std::string>& headings,
                std::vector<std::string>& errors, long* longestLine) {
    headings.clear();
    const std::size_t errorsBefore = errors.size();
    if (longestLine != nullptr) *longestLine = 0;
    std::string content;
    std::string reason;
    if (!ReadWhole(path, content, &reason)) {
        errors.push_back(path + ": cannot read the file: " + reason);
        return false;
    }

    CCsvReader reader(std::move(content));
    std::vector<std::string> header;
    if (!ReadHeader(path, reader, header, headings, errors)) return false;
    std::vector<std::string> row;
    std::size_t longest = 0;
    while (true) {
        const CCsvReader::Result result = reader.Next(row);
        if (result == CCsvReader::Result::End) break;
        const std::string at = At(path, reader.Line());
        if (result == CCsvReader::Result::Error) {
            errors.push_back(at + reader.Error());
            break;  // where the next row begins is unknown
        }
        PersonRecord person;
        if (!PersonOfRow(header, row, at, person, errors)) continue;
        if (!writer.Add(person, &reason)) {
            // Name the person as written in the file; the writer's field numbers
            // are the record's, which start at the third column.
            std::string who =
                row[0].empty() ? std::string() : row[0] + (row.size() > 1 ? ", " + row[1] : "") + ": ";
            errors.push_back(at + who + reason);
            continue;
        }
        if (longestLine != nullptr && (*longestLine == 0 || person.givenNames.size() > longest)) {
            longest = person.givenNames.size();
            *longestLine = reader.Line();
        }
    }
    return errors.size() == errorsBefore;
}

std::string AboutPathOf(const std::string& sourcePath) {
    const std::size_t slash = sourcePath.find_last_of('/');
    const std::size_t dot = sourcePath.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? sourcePath.substr(0, dot) : sourcePath) + ".about";
}

bool LoadAbout(const std::string& path, std::vector<ProvenanceEntry>& provenance,
               std::vector<std::string>& errors) {
    provenance.clear();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return true;
    std::string content;
    std::string reason;
    if (!ReadWhole(path, content, &reason)) {
        errors.push_back(path + ": cannot read the file: " + reason);
        return false;
    }
    const std::size_t errorsBefore = errors.size();
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
    long line = 0;
    std::size_t at = 0;
    while (at < content.size()) {
        ++line;
        std::size_t end = content.find('\n', at);
        if (end == std::string::npos) end = content.size();
        std::string text = content.substr(at, end - at);
        at = end + 1;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        std::string converted;
        if (!cp1252::FromUtf8(text, converted, &reason)) {
            errors.push_back(At(path, line) + reason);
            continue;
        }
        if (converted.find_first_not_of(" \t") == std::string::npos) continue;
        ProvenanceEntry entry;
        if (!database_about::TakeProvenanceLine(converted, entry, reason)) {
            errors.push_back(At(path, line) + reason);
            continue;
        }
        if (provenance.size() == disk_format::kMaxProvenanceEntries) {
            errors.push_back(At(path, line) + "more than " +
                             std::to_string(disk_format::kMaxProvenanceEntries) + " lines");
            break;
        }
        provenance.push_back(std::move(entry));
    }
    if (errors.size() != errorsBefore) provenance.clear();
    return errors.size() == errorsBefore;
}
