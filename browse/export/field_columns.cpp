#include "browse/export/field_columns.h"

#include "browse/record_text/whole_record.h"

namespace {

// Letters without case, runs of blanks as one, none around.
std::string Folded(const std::string& heading) {
    std::string folded;
    for (char c : heading) {
        if (c == ' ' || c == '\t') {
            if (!folded.empty() && folded.back() != ' ') folded += ' ';
            continue;
        }
        folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (!folded.empty() && folded.back() == ' ') folded.pop_back();
    return folded;
}

}  // namespace

template <class Visit>
void CFieldColumns::ForEachField(const FoundPerson& person, Visit visit) const {
    std::map<std::string, int> seen;
    for (std::size_t k = 0; k < person.fields.size(); ++k) {
        const std::string heading = whole_record::HeadingOf(person, k);
        std::string key = Folded(heading);
        const int occurrence = seen[key]++;
        visit(k, heading, std::make_pair(std::move(key), occurrence));
    }
}

void CFieldColumns::Survey(const FoundPerson& person) {
    ForEachField(person, [&](std::size_t k, const std::string& heading, std::pair<std::string, int> key) {
        auto known = index_.find(key);
        if (known == index_.end()) {
            known = index_.emplace(std::move(key), columns_.size()).first;
            columns_.push_back(Column{heading, false});
        }
        Column& column = columns_[known->second];
        column.filled = column.filled || !whole_record::FieldText(person.code, k, person.fields[k]).empty();
    });
}

std::vector<std::string> CFieldColumns::Headings() const {
    std::vector<std::string> headings;
    for (const Column& column : columns_) {
        if (column.filled) headings.push_back(column.heading);
    }
    return headings;
}

std::size_t CFieldColumns::Count() const {
    std::size_t count = 0;
    for (const Column& column : columns_) count += column.filled ? 1 : 0;
    return count;
}

std::vector<std::string> CFieldColumns::Cells(const FoundPerson& person) const {
    std::vector<std::string> all(columns_.size());
    ForEachField(person, [&](std::size_t k, const std::string&, const std::pair<std::string, int>& key) {
        const auto known = index_.find(key);
        // A person not surveyed has no column for a heading met only in them.
        if (known != index_.end())
            all[known->second] = whole_record::FieldText(person.code, k, person.fields[k]);
    });
    std::vector<std::string> cells;
    cells.reserve(Count());
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (columns_[c].filled) cells.push_back(std::move(all[c]));
    }
    return cells;
}
