#pragma once
// A person's name and sex as a family tree keeps them.
//
// The name: the title as a prefix (from the field headed "Title", else from
// a title that opens the given names: "Mrs. John" is John with the prefix
// "Mrs."), the given names, the surname in its written case (the whole one
// where a passenger's surname was too long for the index and follows the
// given names as "(surname X)"), a nickname ("Known as"), a married woman's
// birth surname ("Maiden name") and the names the person was also known by
// ("Also known as").
//
// The sex only where the record says it: a title that tells it (Mr.,
// Master., Mrs., Miss., Ms., Mme., Mlle., Sir, Lady, Dame ...), what a will
// says of the deceased (a widow, a spinster, a bachelor; a relict left
// behind), or a roll whose sources say that all its people were men (the
// generals; the Medal of Honor rolls, whose one woman recipient is named
// apart). Which rule gave each database's sexes is in
// docs/family-tree-export.md.

#include <string>

#include "browse/record_text/found_person.h"

// Texts are Windows-1252.
struct PersonName {
    std::string prefix;        // "Mrs.", "Col."; empty when none
    std::string given;         // without the title
    std::string surname;       // in its written case
    std::string nickname;      // empty when none
    std::string birthSurname;  // the maiden surname of a married woman; empty when none
    std::string alsoKnownAs;   // another name the record gives; empty when none
};

enum class PersonSex { Unknown, Male, Female };

namespace person_name {

PersonName NameOf(const FoundPerson& person);

// Whether word is a title ("Mrs", "Col.") that may open a name.
bool IsTitle(const std::string& word);

// The sex the title gives ("Mrs" and "Mrs." alike), or Unknown.
PersonSex SexOfTitle(const std::string& title);

PersonSex SexOf(const FoundPerson& person);

// "M", "F" or "U".
const char* SexLetter(PersonSex sex);

}  // namespace person_name
