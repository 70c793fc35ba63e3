#pragma once
// The exact test of one person against a record query: the rule itself,
// word by word, with no index. The scanning search runs it on every
// person; the indexed search runs it on the people it shows, to say where
// each matched.

#include <string>
#include <string_view>
#include <vector>

#include "browse/record_query/record_fields.h"
#include "browse/record_query/record_query.h"

// Where a query matched in one field: the slot (record_fields) and the
// positions of the words matched there (0-based, ascending, each once).
struct FieldHit {
    int slot = 0;
    std::vector<int> positions;
};

// A person's texts as the search sees them (Windows-1252).
struct PersonText {
    std::string_view surname;
    std::string_view givenNames;
    const std::vector<std::string>* fields = nullptr;
};

class CRecordMatcher {
public:
    CRecordMatcher(const record_query::Query& query, record_fields::FieldSet fields);

    // Whether person matches. hits, when given, gets the fields where a term
    // that is not excluded, or the years, matched, in slot order.
    bool Matches(const PersonText& person, std::vector<FieldHit>* hits = nullptr) const;

private:
    struct SlotWords {
        int slot;
        std::vector<std::string> words;
    };
    // Positions where phrase starts a match in words.
    static void FindPhrase(const record_query::Phrase& phrase, const std::vector<std::string>& words,
                           std::vector<int>* starts);
    bool FindYears(const std::vector<std::string>& words, std::vector<int>* positions) const;

    record_query::Query query_;
    record_fields::FieldSet fields_;
};
