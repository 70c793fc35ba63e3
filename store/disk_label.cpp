#include "store/disk_label.h"

#include <cerrno>

#include "store/blank_trim.h"
#include "store/data_file.h"
#include "store/directories.h"
#include "store/disk_format.h"

namespace disk_label {
namespace {

// A line without its blanks around it and its tabs, cut to kMaxLabelText.
std::string LabelText(const std::string& line) {
    std::string text = Trimmed(line);
    if (text.size() > kMaxLabelText) text.resize(kMaxLabelText);
    for (char& c : text) {
        if (c == '\t') c = ' ';
    }
    return text;
}
// The version a line gives, or false when it is no version line.
bool VersionOf(const std::string& line, std::string& version) {
    static const char kWord[] = "version";
    constexpr std::size_t kLength = sizeof kWord - 1;
    if (line.size() <= kLength) return false;
    for (std::size_t i = 0; i < kLength; ++i) {
        const char c = line[i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != kWord[i]) return false;
    }
    std::size_t at = kLength;
    if (line[at] != ':' && line[at] != '=' && !IsBlankOrTab(line[at])) return false;
    while (at < line.size() && (line[at] == ':' || line[at] == '=' || IsBlankOrTab(line[at]))) ++at;
    version = LabelText(line.substr(at));
    return !version.empty();
}

}  // namespace

DiskLabel Parse(const std::string& markerText) {
    DiskLabel label;
    const std::string& text = markerText;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n' && c != '\r' && c != '\t') || byte == 0x7F) return label;
    }
    bool named = false;
    bool versioned = false;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        at = end + 1;
        std::string version;
        if (!versioned && VersionOf(Trimmed(line), version)) {
            label.version = version;
            versioned = true;
        } else if (!named && !Trimmed(line).empty()) {
            label.name = LabelText(line);
            named = true;
        }
    }
    return label;
}

}  // namespace disk_label

StoreError ReadDiskLabel(const CDirectories& dirs, DiskLabel& label) {
    label = DiskLabel{};
    if (!dirs.DataDirFits()) return StoreError::Of(StoreErrorKind::PathTooLong);
    const std::string path = std::string(dirs.DataDir()) + disk_format::kMarkerFileName;
    CDataFile marker;
    const CDataFile::OpenOutcome opened = marker.Open(path);
    if (opened != CDataFile::OpenOutcome::Opened) {
        return StoreError::Of(StoreErrorKind::OpenFailed, disk_format::kMarkerFileName,
                              opened == CDataFile::OpenOutcome::NotAFile ? EISDIR : marker.Error());
    }
    char head[disk_label::kMaxMarkerBytes];
    std::size_t got = 0;
    if (!marker.ReadAt(0, head, sizeof head, got)) {
        return StoreError::Of(StoreErrorKind::ReadFailed, disk_format::kMarkerFileName, marker.Error());
    }
    label = disk_label::Parse(std::string(head, got));
    return StoreError{};
}
