#include "support/gedcom_lines.h"

#include <cstdlib>
#include <set>

namespace gedcom_lines {
namespace {

bool IsUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80    ? 1
                                   : lead >= 0xF0 ? 4
                                   : lead >= 0xE0 ? 3
                                   : lead >= 0xC2 ? 2
                                                  : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

std::string Unescaped(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        out += value[i];
        if (value[i] == '@' && i + 1 < value.size() && value[i + 1] == '@') ++i;
    }
    return out;
}

}  // namespace

std::vector<Line> Lines(const std::string& file) {
    std::vector<Line> lines;
    for (std::size_t at = 0; at < file.size();) {
        std::size_t end = file.find_first_of("\r\n", at);
        if (end == std::string::npos) end = file.size();
        Line line;
        line.raw = file.substr(at, end - at);
        at = end + (file.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        std::size_t p = line.raw.find(' ');
        line.level = std::atoi(line.raw.substr(0, p).c_str());
        std::string rest = p == std::string::npos ? "" : line.raw.substr(p + 1);
        if (!rest.empty() && rest[0] == '@') {
            p = rest.find(' ');
            line.xref = rest.substr(0, p);
            rest = p == std::string::npos ? "" : rest.substr(p + 1);
        }
        p = rest.find(' ');
        line.tag = rest.substr(0, p);
        line.hasValue = p != std::string::npos;
        if (line.hasValue) line.value = rest.substr(p + 1);
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> RuleBreaks(const std::string& file) {
    std::vector<std::string> breaks;
    // Tags that stand without a value: records, events and facts, empty lines.
    const std::set<std::string> bare = {"HEAD", "GEDC", "DATA", "BIRT", "DEAT", "BURI",
                                        "RESI", "EVEN", "PROB", "WILL", "CONT", "TRLR"};
    const std::vector<Line> lines = Lines(file);
    std::set<std::string> defined;
    std::vector<std::string> pointers;
    if (file.size() < 2 || file.compare(file.size() - 2, 2, "\r\n") != 0)
        breaks.push_back("no line end at the end");
    if (lines.empty() || lines.back().raw != "0 TRLR") breaks.push_back("TRLR is not last");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.raw.size() > 255) breaks.push_back("over 255 bytes: " + line.raw.substr(0, 40));
        if (!IsUtf8(line.raw)) breaks.push_back("not UTF-8: " + line.raw);
        if (line.hasValue && line.value.empty()) breaks.push_back("empty value: " + line.raw);
        if (!line.hasValue && line.xref.empty() && bare.count(line.tag) == 0)
            breaks.push_back("no value: " + line.raw);
        if (!line.xref.empty() && !defined.insert(line.xref).second)
            breaks.push_back("xref twice: " + line.xref);
        const bool pointer = line.value.size() > 2 && line.value.front() == '@' && line.value.back() == '@' &&
                             line.value.find('@', 1) == line.value.size() - 1;
        if (pointer) {
            pointers.push_back(line.value);
        } else {
            std::string rest = line.value;
            for (std::size_t at; (at = rest.find("@@")) != std::string::npos;) rest.erase(at, 2);
            if (rest.find('@') != std::string::npos) breaks.push_back("single @: " + line.raw);
        }
        if (line.tag == "CONC") {
            const std::string& before = lines[i - 1].value;
            if (before.empty() || before.back() == ' ' || line.value.front() == ' ')
                breaks.push_back("split at a blank: " + line.raw);
        }
        if (i > 0 && line.level > lines[i - 1].level + 1) breaks.push_back("level skipped: " + line.raw);
    }
    for (const std::string& pointer : pointers) {
        if (defined.count(pointer) == 0) breaks.push_back("dangling pointer " + pointer);
    }
    return breaks;
}

// The value of the line at index i with its CONT and CONC lines joined.
std::string Joined(const std::vector<Line>& lines, std::size_t i) {
    std::string value = lines[i].value;
    for (std::size_t k = i + 1; k < lines.size() && lines[k].level == lines[i].level + 1; ++k) {
        if (lines[k].tag == "CONT") value += "\n" + lines[k].value;
        if (lines[k].tag == "CONC") value += lines[k].value;
    }
    return Unescaped(value);
}

// Every record of the file: its opening line's index, by xref.
std::map<std::string, std::size_t> Records(const std::vector<Line>& lines) {
    std::map<std::string, std::size_t> records;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].level == 0 && !lines[i].xref.empty()) records[lines[i].xref] = i;
    }
    return records;
}

// The lines of record at index start, up to the next record.
std::vector<std::string> RecordLines(const std::vector<Line>& lines, std::size_t start) {
    std::vector<std::string> out{lines[start].raw};
    for (std::size_t i = start + 1; i < lines.size() && lines[i].level > 0; ++i) out.push_back(lines[i].raw);
    return out;
}

}  // namespace gedcom_lines
