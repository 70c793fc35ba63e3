#pragma once
// The fields of a person that a record search looks at, and how --field
// names them.
//
// Each person has the surname (as the index holds it, without padding
// blanks), the given names (as the entry holds them) and every field of the
// record line, each a field of its own. They are numbered as slots: 0 the
// surname, 1 the given names, 2 + k the record's field k (0-based).
//
// A field is chosen by its heading, compared as words: the heading the
// data disk gives it ("Port of embarkation", browse/record_text/
// field_headings.h), or its heading as More Info shows it ("Rank and
// Organization", "camp name", "War service:"), which covers the fields
// joined to it (label slots that begin with ','); by its number N (1 is
// the record's first field, "field N" alike); or as surname or given
// (given names).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "browse/record_text/field_headings.h"

namespace record_fields {

inline constexpr int kSurnameSlot = 0;
inline constexpr int kGivenSlot = 1;
inline constexpr int kFirstRecordSlot = 2;
// Field numbers taken by --field: a record of at most 4999 bytes holds fewer fields.
inline constexpr int kMaxFieldNumber = 5000;

inline int SlotOfField(std::size_t k) { return kFirstRecordSlot + static_cast<int>(k); }

struct FieldChoice {
    enum class Kind { Any, Surname, Given, Number, Heading };
    Kind kind = Kind::Any;
    int number = 0;                         // Number: 1-based
    std::vector<std::string> headingWords;  // Heading: the folded words
    std::string text;                       // as given, for messages
};

// Reads the value of --field (Windows-1252). False with error for a value
// with no letter or digit, or a number outside 1..kMaxFieldNumber.
bool ParseFieldChoice(std::string_view text, FieldChoice& choice, std::string& error);

// The slots of one database that a choice searches.
class FieldSet {
public:
    static FieldSet All();
    bool Has(int slot) const {
        return all_ || (slot >= 0 && static_cast<std::size_t>(slot) < slots_.size() && slots_[slot]);
    }
    bool Empty() const { return !all_ && count_ == 0; }
    bool IsAll() const { return all_; }
    // The one slot searched, or -1 when there are none or several.
    int OnlySlot() const { return !all_ && count_ == 1 ? only_ : -1; }
    void Add(int slot);

private:
    bool all_ = false;
    std::vector<bool> slots_;
    int count_ = 0;
    int only_ = -1;
};

// What choice searches in the database of headings; empty when it names a
// heading the database does not have. By code alone: the label table's
// headings, as on a disk that gives none.
FieldSet FieldSetOf(const FieldHeadings& headings, const FieldChoice& choice);
inline FieldSet FieldSetOf(int code, const FieldChoice& choice) {
    return FieldSetOf(FieldHeadings(code), choice);
}

// The headings a field of the database can be chosen by, in field order,
// each once (as words): the disk's where it heads the fields, with the
// label table's for a field it leaves without; else those More Info shows.
std::vector<std::string> HeadingsOf(const FieldHeadings& headings);
inline std::vector<std::string> HeadingsOf(int code) { return HeadingsOf(FieldHeadings(code)); }
// The headings of several databases, each once (as words), in the order
// of the databases: what a field list for all of them offers.
std::vector<std::string> HeadingsOfAll(const std::vector<FieldHeadings>& databases);

// How a slot is named where a match is shown: the heading the disk gives
// the field, else its label table's (the heading a joined field belongs
// to), "surname", "given names", or, for a field without one, its number
// (1-based).
struct FieldLabel {
    std::string heading;  // empty when the field is known by its number
    int number = 0;
    bool operator==(const FieldLabel& other) const {
        return heading == other.heading && number == other.number;
    }
};
FieldLabel LabelOfSlot(const FieldHeadings& headings, int slot);
inline FieldLabel LabelOfSlot(int code, int slot) { return LabelOfSlot(FieldHeadings(code), slot); }

}  // namespace record_fields
