#include "browse/record_query/record_matcher.h"

#include <algorithm>

#include "browse/record_query/record_words.h"

namespace {

bool WordMatches(const std::string& word, const std::string& wanted, bool prefix) {
    if (prefix) return word.size() >= wanted.size() && word.compare(0, wanted.size(), wanted) == 0;
    return word == wanted;
}

}  // namespace

CRecordMatcher::CRecordMatcher(const record_query::Query& query, record_fields::FieldSet fields)
    : query_(query), fields_(std::move(fields)) {}

void CRecordMatcher::FindPhrase(const record_query::Phrase& phrase, const std::vector<std::string>& words,
                                std::vector<int>* starts) {
    const std::size_t n = phrase.words.size();
    for (std::size_t at = 0; at + n <= words.size(); ++at) {
        bool all = true;
        for (std::size_t j = 0; j < n && all; ++j) {
            all = WordMatches(words[at + j], phrase.words[j], phrase.prefix && j + 1 == n);
        }
        if (all) starts->push_back(static_cast<int>(at));
    }
}

bool CRecordMatcher::FindYears(const std::vector<std::string>& words, std::vector<int>* positions) const {
    bool found = false;
    for (std::size_t at = 0; at < words.size(); ++at) {
        int value = 0;
        if (record_words::IsYearWord(words[at], value) && value >= query_.years.from &&
            value <= query_.years.to) {
            found = true;
            if (positions == nullptr) return true;
            positions->push_back(static_cast<int>(at));
        }
    }
    return found;
}

bool CRecordMatcher::Matches(const PersonText& person, std::vector<FieldHit>* hits) const {
    std::vector<SlotWords> searched;
    auto add = [&](int slot, std::string_view text) {
        if (fields_.Has(slot)) searched.push_back(SlotWords{slot, record_words::WordsOf(text)});
    };
    add(record_fields::kSurnameSlot, person.surname);
    add(record_fields::kGivenSlot, person.givenNames);
    if (person.fields != nullptr) {
        for (std::size_t k = 0; k < person.fields->size(); ++k)
            add(record_fields::SlotOfField(k), (*person.fields)[k]);
    }

    std::vector<std::vector<int>> matched(searched.size());
    std::vector<int> starts;
    for (const record_query::Term& term : query_.terms) {
        bool found = false;
        // Every alternative that matches is shown where it matched.
        for (const record_query::Phrase& phrase : term.alternatives) {
            for (std::size_t f = 0; f < searched.size() && !(found && term.excluded); ++f) {
                starts.clear();
                FindPhrase(phrase, searched[f].words, &starts);
                if (starts.empty()) continue;
                found = true;
                if (term.excluded) break;
                for (int start : starts) {
                    for (std::size_t j = 0; j < phrase.words.size(); ++j)
                        matched[f].push_back(start + static_cast<int>(j));
                }
            }
        }
        if (found == term.excluded) return false;
    }
    if (query_.years.given) {
        bool found = false;
        for (std::size_t f = 0; f < searched.size(); ++f)
            found = FindYears(searched[f].words, &matched[f]) || found;
        if (!found) return false;
    }
    if (hits != nullptr) {
        hits->clear();
        for (std::size_t f = 0; f < searched.size(); ++f) {
            std::vector<int>& positions = matched[f];
            if (positions.empty()) continue;
            std::sort(positions.begin(), positions.end());
            positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
            hits->push_back(FieldHit{searched[f].slot, std::move(positions)});
        }
    }
    return true;
}
