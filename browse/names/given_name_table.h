#pragma once
// The table of English given names and their variants: groups of names that
// stand for the same given name (William, Will, Bill, Billy, Wm, Willm). A
// name is a variant of every name of every group that holds it; groups do
// not merge through a name they share (AL is Albert and Alfred, which are
// not variants of each other).
//
// The table is data/given_names/given_names.txt, compiled into the program
// (its README says where the names come from).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CGivenNameTable {
public:
    // What a name is to the first name of its group.
    enum class Kind { Spelling, Nickname, Abbreviation };
    struct Name {
        std::string text;  // capital letters A-Z
        Kind kind;
    };
    using Group = std::vector<Name>;

    // Reads text in the table's format: one group a line, the name and its
    // spellings, its nicknames and its abbreviations in three fields
    // separated by '|', names of capital letters alone separated by blanks;
    // '#' starts a comment line. False on a fault, with error naming the line.
    bool Parse(std::string_view text, std::string* error);

    // The table compiled into the program, read once.
    static const CGivenNameTable& Builtin();

    // name (capital letters) and every variant of it, sorted, each once;
    // just the name when no group holds it.
    std::vector<std::string> VariantsOf(std::string_view name) const;
    bool AreVariants(std::string_view a, std::string_view b) const;

    const std::vector<Group>& Groups() const { return groups_; }

private:
    // The groups that hold a name.
    std::vector<std::size_t> GroupsOf(std::string_view name) const;

    std::vector<Group> groups_;
    // Every name with the number of a group that holds it, sorted by name.
    std::vector<std::pair<std::string, std::size_t>> index_;
};

// The text of data/given_names/given_names.txt (generated at build time).
std::string_view BuiltinGivenNameText();
