#include "store/database_about.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "store/blank_trim.h"
#include "store/catalogue.h"
#include "store/data_file.h"
#include "store/directories.h"

namespace database_about {
namespace {

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7F;
}

bool HoldsControl(std::string_view text) {
    for (char c : text) {
        if (IsControl(c)) return true;
    }
    return false;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Tabs become blanks, and the blanks around the text go.
std::string Cleaned(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\t') c = ' ';
    }
    return Trimmed(out);
}

// Calls take(line, number) for each line of text, its CR LF or LF taken
// off. Every line, the last included, must end with a line feed: a text
// cut inside a line is damaged. take returns false with a reason to stop.
template <class Take>
bool ForEachLine(std::string_view text, Fault& fault, Take take) {
    long number = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        ++number;
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) {
            fault = Fault{number, "the last line has no line end: the file is cut short"};
            return false;
        }
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        at = end + 1;
        std::string reason;
        if (!take(line, reason)) {
            fault = Fault{number, reason};
            return false;
        }
    }
    return true;
}

}  // namespace

int KeyIndex(std::string_view key) {
    for (int i = 0; i < kKeyCount; ++i) {
        const std::string_view known = kProvenanceKeys[i];
        if (known.size() != key.size()) continue;
        bool same = true;
        for (std::size_t k = 0; k < key.size() && same; ++k)
            same = LowerAscii(key[k]) == LowerAscii(known[k]);
        if (same) return i;
    }
    return -1;
}

bool TakeHeading(std::string_view text, std::string& heading, std::string& reason) {
    if (HoldsControl(text)) {
        reason = "the heading holds a control character";
        return false;
    }
    std::string cleaned = Cleaned(text);
    if (cleaned.size() > disk_format::kMaxHeading) {
        reason = "the heading is " + std::to_string(cleaned.size()) + " characters long; at most " +
                 std::to_string(disk_format::kMaxHeading) + " are kept";
        return false;
    }
    heading = std::move(cleaned);
    return true;
}

bool TakeProvenanceLine(std::string_view line, ProvenanceEntry& entry, std::string& reason) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        reason = "not a line 'Key: value'";
        return false;
    }
    const std::string key = Cleaned(line.substr(0, colon));
    const int index = KeyIndex(key);
    if (index < 0) {
        reason = "unknown key '" + key + "'; the keys are";
        for (int i = 0; i < kKeyCount; ++i) reason += std::string(i == 0 ? " " : ", ") + kProvenanceKeys[i];
        return false;
    }
    const std::string_view rest = line.substr(colon + 1);
    if (HoldsControl(rest)) {
        reason = std::string(kProvenanceKeys[index]) + " holds a control character";
        return false;
    }
    std::string value = Cleaned(rest);
    if (value.empty()) {
        reason = std::string(kProvenanceKeys[index]) + " has no value";
        return false;
    }
    if (value.size() > disk_format::kMaxProvenanceValue) {
        reason = std::string(kProvenanceKeys[index]) + " is " + std::to_string(value.size()) +
                 " characters long; at most " + std::to_string(disk_format::kMaxProvenanceValue) +
                 " are kept";
        return false;
    }
    entry = ProvenanceEntry{kProvenanceKeys[index], std::move(value)};
    return true;
}

bool ParseHeadings(std::string_view text, std::vector<std::string>& headings, Fault& fault) {
    headings.clear();
    const bool parsed = ForEachLine(text, fault, [&](std::string_view line, std::string& reason) {
        if (headings.size() == disk_format::kMaxHeadings) {
            reason = "more than " + std::to_string(disk_format::kMaxHeadings) + " headings";
            return false;
        }
        std::string heading;
        if (!TakeHeading(line, heading, reason)) return false;
        headings.push_back(std::move(heading));
        return true;
    });
    if (!parsed) headings.clear();
    return parsed;
}

bool ParseProvenance(std::string_view text, std::vector<ProvenanceEntry>& provenance, Fault& fault) {
    provenance.clear();
    const bool parsed = ForEachLine(text, fault, [&](std::string_view line, std::string& reason) {
        if (Cleaned(line).empty() && !HoldsControl(line)) return true;
        if (provenance.size() == disk_format::kMaxProvenanceEntries) {
            reason = "more than " + std::to_string(disk_format::kMaxProvenanceEntries) + " lines";
            return false;
        }
        ProvenanceEntry entry;
        if (!TakeProvenanceLine(line, entry, reason)) return false;
        provenance.push_back(std::move(entry));
        return true;
    });
    if (!parsed) provenance.clear();
    return parsed;
}

std::string HeadingsText(const std::vector<std::string>& headings) {
    std::string text;
    for (const std::string& heading : headings) text += heading + "\n";
    return text;
}

std::string ProvenanceText(const std::vector<ProvenanceEntry>& provenance) {
    std::string text;
    for (const ProvenanceEntry& entry : provenance) text += entry.key + ": " + entry.value + "\n";
    return text;
}

std::vector<std::string> ValuesOf(const std::vector<ProvenanceEntry>& provenance, std::string_view key) {
    std::vector<std::string> values;
    for (const ProvenanceEntry& entry : provenance) {
        if (entry.key == key) values.push_back(entry.value);
    }
    return values;
}

}  // namespace database_about

namespace {

// The whole of <stem><extension> of code, at most limit bytes (a longer
// file is damaged); an empty text when it is not there.
StoreError ReadDescription(const CDirectories& dirs, int code, const char* extension, std::size_t limit,
                           std::string& text) {
    text.clear();
    const char* stem = catalogue::StemOf(code);
    if (stem == nullptr) return StoreError{};
    if (!dirs.DataDirFits()) return StoreError::Of(StoreErrorKind::PathTooLong);
    const std::string name = std::string(stem) + extension;
    CDataFile file;
    switch (file.Open(std::string(dirs.DataDir()) + name)) {
        case CDataFile::OpenOutcome::Opened:
            break;
        case CDataFile::OpenOutcome::Missing:
            return StoreError{};
        case CDataFile::OpenOutcome::NotAFile:
            return StoreError::Of(StoreErrorKind::OpenFailed, name, EISDIR);
        case CDataFile::OpenOutcome::Failed:
            return StoreError::Of(StoreErrorKind::OpenFailed, name, file.Error());
    }
    if (file.Size() > static_cast<std::int64_t>(limit)) {
        return StoreError::Of(StoreErrorKind::DamagedDescription, name, 0);
    }
    // One byte more than the limit tells a device or a growing file that holds too much.
    const std::unique_ptr<char[]> buffer(new char[limit + 1]);
    std::size_t got = 0;
    std::size_t total = 0;
    while (total <= limit) {
        if (!file.ReadAt(static_cast<std::int64_t>(total), buffer.get() + total, limit + 1 - total, got)) {
            return StoreError::Of(StoreErrorKind::ReadFailed, name, file.Error());
        }
        if (got == 0) break;
        total += got;
    }
    if (total > limit) return StoreError::Of(StoreErrorKind::DamagedDescription, name, 0);
    text.assign(buffer.get(), total);
    return StoreError{};
}

StoreError Damaged(int code, const char* extension, const database_about::Fault& fault) {
    return StoreError::Of(StoreErrorKind::DamagedDescription,
                          std::string(catalogue::StemOf(code)) + extension, static_cast<int>(fault.line));
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written) {
        error = "cannot write " + path + ": " + std::strerror(written ? errno : writeError);
        return false;
    }
    return true;
}

}  // namespace

StoreError ReadDatabaseHeadings(const CDirectories& dirs, int code, std::vector<std::string>& headings) {
    headings.clear();
    std::string text;
    const StoreError error =
        ReadDescription(dirs, code, disk_format::kHeadingsExtension, disk_format::kMaxHeadingsFile, text);
    if (error.Failed()) return error;
    database_about::Fault fault;
    if (!database_about::ParseHeadings(text, headings, fault))
        return Damaged(code, disk_format::kHeadingsExtension, fault);
    return StoreError{};
}

StoreError ReadDatabaseProvenance(const CDirectories& dirs, int code,
                                  std::vector<ProvenanceEntry>& provenance) {
    provenance.clear();
    std::string text;
    const StoreError error =
        ReadDescription(dirs, code, disk_format::kProvenanceExtension, disk_format::kMaxProvenanceFile, text);
    if (error.Failed()) return error;
    database_about::Fault fault;
    if (!database_about::ParseProvenance(text, provenance, fault))
        return Damaged(code, disk_format::kProvenanceExtension, fault);
    return StoreError{};
}

StoreError ReadDatabaseAbout(const CDirectories& dirs, int code, DatabaseAbout& about) {
    about = DatabaseAbout{};
    StoreError error = ReadDatabaseHeadings(dirs, code, about.headings);
    if (!error.Failed()) error = ReadDatabaseProvenance(dirs, code, about.provenance);
    if (error.Failed()) about = DatabaseAbout{};
    return error;
}

bool WriteDatabaseAbout(const std::string& dir, int code, const DatabaseAbout& about, std::string& error) {
    const std::string base = dir + "/" + catalogue::StemOf(code);
    return WriteText(base + disk_format::kHeadingsExtension, database_about::HeadingsText(about.headings),
                     error) &&
           WriteText(base + disk_format::kProvenanceExtension,
                     database_about::ProvenanceText(about.provenance), error);
}
