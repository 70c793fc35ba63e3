#include "browse/names/given_name_table.h"

#include <algorithm>

#include "platform/table_lines.h"

namespace {

constexpr CGivenNameTable::Kind kKindOfField[] = {
    CGivenNameTable::Kind::Spelling, CGivenNameTable::Kind::Nickname, CGivenNameTable::Kind::Abbreviation};

using platform::TableLineFault;

}  // namespace

bool CGivenNameTable::Parse(std::string_view text, std::string* error) {
    groups_.clear();
    index_.clear();
    const bool read = platform::ForEachTableLine(text, [&](std::size_t number, std::string_view line) {
        Group group;
        std::size_t field = 0;
        std::string name;
        auto close = [&]() {
            if (name.empty()) return;
            const bool known =
                std::any_of(group.begin(), group.end(), [&](const Name& n) { return n.text == name; });
            if (!known) group.push_back({name, kKindOfField[field]});
            name.clear();
        };
        for (char c : line) {
            if (c >= 'A' && c <= 'Z') {
                name += c;
            } else if (c == ' ') {
                close();
            } else if (c == '|') {
                close();
                if (++field > 2) return TableLineFault(error, number, "more than three fields");
            } else {
                return TableLineFault(error, number, std::string("a name holds '") + c + "'; only A to Z");
            }
        }
        close();
        if (group.empty() || group.front().kind != Kind::Spelling) {
            return TableLineFault(error, number, "the line names no given name first");
        }
        for (const Name& member : group) index_.emplace_back(member.text, groups_.size());
        groups_.push_back(std::move(group));
        return true;
    });
    if (!read) return false;
    std::sort(index_.begin(), index_.end());
    return true;
}

const CGivenNameTable& CGivenNameTable::Builtin() {
    // Read once, never changed afterwards; a fault in the text leaves the
    // table empty, which the tests refuse.
    static const CGivenNameTable table = [] {
        CGivenNameTable parsed;
        if (!parsed.Parse(BuiltinGivenNameText(), nullptr)) parsed = CGivenNameTable();
        return parsed;
    }();
    return table;
}

std::vector<std::size_t> CGivenNameTable::GroupsOf(std::string_view name) const {
    std::vector<std::size_t> found;
    auto entry = std::lower_bound(index_.begin(), index_.end(), name, [](const auto& e, std::string_view n) {
        return std::string_view(e.first) < n;
    });
    for (; entry != index_.end() && entry->first == name; ++entry) found.push_back(entry->second);
    return found;
}

std::vector<std::string> CGivenNameTable::VariantsOf(std::string_view name) const {
    std::vector<std::string> variants{std::string(name)};
    for (std::size_t group : GroupsOf(name)) {
        for (const Name& member : groups_[group]) variants.push_back(member.text);
    }
    std::sort(variants.begin(), variants.end());
    variants.erase(std::unique(variants.begin(), variants.end()), variants.end());
    return variants;
}

bool CGivenNameTable::AreVariants(std::string_view a, std::string_view b) const {
    if (a == b) return true;
    for (std::size_t group : GroupsOf(a)) {
        for (const Name& member : groups_[group]) {
            if (member.text == b) return true;
        }
    }
    return false;
}
