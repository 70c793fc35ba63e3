#pragma once
// The table of the forms records write for U.S. states and territories,
// military ranks and months: groups of forms that stand for one name
// (Pennsylvania, Penn., Penna., Pa., PA). Each form is kept as the words
// the record search sees in it (Pa. is PA, N.Y. is N Y), and no form
// stands in two groups.
//
// The table is data/abbreviations/abbreviations.txt, compiled into the
// program (its README says where the forms come from and which were left
// out).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CAbbreviationTable {
public:
    // A form as folded words.
    using Form = std::vector<std::string>;
    struct Group {
        std::string name;         // as the table writes it
        std::vector<Form> forms;  // the name's words first, each form once
    };
    // A form that begins at a word: its number of words and its group.
    struct Found {
        std::size_t length;
        std::size_t group;
    };

    // Reads text in the table's format: one group a line, the name and its
    // forms separated by '|', each of letters, digits, full stops, slashes
    // and blanks; '#' starts a comment line. False on a fault (a form with
    // no word or another character, a line of one form, a form already in
    // another group), with error naming the line.
    bool Parse(std::string_view text, std::string* error);

    // The table compiled into the program, read once.
    static const CAbbreviationTable& Builtin();

    const std::vector<Group>& Groups() const { return groups_; }

    // The forms that begin at words[at] and end at or before words[end - 1].
    void FormsAt(const std::vector<std::string>& words, std::size_t at, std::size_t end,
                 std::vector<Found>& found) const;

private:
    std::vector<Group> groups_;
    // Every form with its group, sorted by form.
    std::vector<std::pair<Form, std::size_t>> index_;
};

// The text of data/abbreviations/abbreviations.txt (generated at build time).
std::string_view BuiltinAbbreviationText();
