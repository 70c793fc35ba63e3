#include "browse/abbreviations/abbreviation_table.h"

#include <algorithm>

#include "browse/record_query/record_words.h"
#include "platform/table_lines.h"

namespace {

using platform::TableLineFault;

bool Allowed(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '/' || c == ' ' || c == '|';
}

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::string();
    return std::string(text.substr(first, text.find_last_not_of(' ') + 1 - first));
}

}  // namespace

bool CAbbreviationTable::Parse(std::string_view text, std::string* error) {
    groups_.clear();
    index_.clear();
    const bool read = platform::ForEachTableLine(text, [&](std::size_t number, std::string_view line) {
        for (char c : line) {
            if (!Allowed(c)) return TableLineFault(error, number, std::string("the line holds '") + c + "'");
        }
        Group group;
        for (std::size_t from = 0; from <= line.size();) {
            std::size_t bar = line.find('|', from);
            if (bar == std::string_view::npos) bar = line.size();
            const std::string written = Trimmed(line.substr(from, bar - from));
            from = bar + 1;
            Form form = record_words::WordsOf(written);
            if (form.empty()) return TableLineFault(error, number, "a form holds no letter or digit");
            if (group.forms.empty()) group.name = written;
            if (std::find(group.forms.begin(), group.forms.end(), form) == group.forms.end())
                group.forms.push_back(std::move(form));
        }
        if (group.forms.size() < 2)
            return TableLineFault(error, number, "the line names no form beside the name");
        for (const Form& form : group.forms) index_.emplace_back(form, groups_.size());
        groups_.push_back(std::move(group));
        return true;
    });
    if (!read) return false;
    std::sort(index_.begin(), index_.end());
    for (std::size_t i = 1; i < index_.size(); ++i) {
        if (index_[i].first == index_[i - 1].first) {
            std::string shown;
            for (const std::string& word : index_[i].first) shown += (shown.empty() ? "" : " ") + word;
            if (error != nullptr) {
                *error = "the form " + shown + " stands for both " + groups_[index_[i - 1].second].name +
                         " and " + groups_[index_[i].second].name;
            }
            groups_.clear();
            index_.clear();
            return false;
        }
    }
    return true;
}

const CAbbreviationTable& CAbbreviationTable::Builtin() {
    // Read once, never changed afterwards; a fault in the text leaves the
    // table empty, which the tests refuse.
    static const CAbbreviationTable table = [] {
        CAbbreviationTable parsed;
        if (!parsed.Parse(BuiltinAbbreviationText(), nullptr)) parsed = CAbbreviationTable();
        return parsed;
    }();
    return table;
}

void CAbbreviationTable::FormsAt(const std::vector<std::string>& words, std::size_t at, std::size_t end,
                                 std::vector<Found>& found) const {
    found.clear();
    if (at >= end || end > words.size()) return;
    // The forms that begin with words[at] lie together in the sorted index.
    auto entry = std::lower_bound(index_.begin(), index_.end(), words[at],
                                  [](const std::pair<Form, std::size_t>& e, const std::string& word) {
                                      return e.first.front() < word;
                                  });
    for (; entry != index_.end() && entry->first.front() == words[at]; ++entry) {
        const Form& form = entry->first;
        if (form.size() > end - at) continue;
        if (std::equal(form.begin(), form.end(), words.begin() + static_cast<std::ptrdiff_t>(at)))
            found.push_back(Found{form.size(), entry->second});
    }
}
