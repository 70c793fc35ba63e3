#include "browse/abbreviations/abbreviated_query.h"

#include <algorithm>
#include <vector>

namespace abbreviations {
namespace {

using Words = std::vector<std::string>;

void AddOnce(std::vector<Words>& ways, Words way) {
    if (std::find(ways.begin(), ways.end(), way) == ways.end()) ways.push_back(std::move(way));
}

// The ways of writing words, each form of a group met there standing for
// every form of it; false when they pass kMaxWays. The last word of a
// prefix is never part of a form.
bool WaysOf(const record_query::Phrase& phrase, const CAbbreviationTable& table,
            std::vector<record_query::Phrase>& out) {
    const Words& words = phrase.words;
    const std::size_t n = words.size();
    const std::size_t end = phrase.prefix ? n - 1 : n;
    // tails[i]: the ways of writing words[i..n), built from the end.
    std::vector<std::vector<Words>> tails(n + 1);
    tails[n].push_back(Words{});
    std::vector<CAbbreviationTable::Found> found;
    for (std::size_t i = n; i-- > 0;) {
        std::vector<Words>& ways = tails[i];
        auto prepend = [&](const Words& head, const std::vector<Words>& rest) {
            for (const Words& tail : rest) {
                Words way = head;
                way.insert(way.end(), tail.begin(), tail.end());
                AddOnce(ways, std::move(way));
                if (ways.size() > kMaxWays) return false;
            }
            return true;
        };
        if (!prepend(Words{words[i]}, tails[i + 1])) return false;
        table.FormsAt(words, i, end, found);
        for (const CAbbreviationTable::Found& form : found) {
            for (const CAbbreviationTable::Form& other : table.Groups()[form.group].forms) {
                if (!prepend(other, tails[i + form.length])) return false;
            }
        }
    }
    for (Words& way : tails[0]) {
        record_query::Phrase widened;
        widened.words = std::move(way);
        widened.prefix = phrase.prefix;
        if (std::find(out.begin(), out.end(), widened) == out.end()) out.push_back(std::move(widened));
        if (out.size() > kMaxWays) return false;
    }
    return true;
}

std::string Shown(const record_query::Phrase& phrase) {
    std::string text;
    for (const std::string& word : phrase.words) text += (text.empty() ? "" : " ") + word;
    return text + (phrase.prefix ? "*" : "");
}

}  // namespace

bool Widen(record_query::Query& query, std::string& error, const CAbbreviationTable& table) {
    std::vector<record_query::Term> widened = query.terms;
    for (record_query::Term& term : widened) {
        // The term's own ways stay first and whole, a way written twice
        // (maine OR maine) included: widening only adds.
        std::vector<record_query::Phrase> ways = term.alternatives;
        for (const record_query::Phrase& phrase : term.alternatives) {
            if (!WaysOf(phrase, table, ways)) {
                error = "with abbreviations the term '" + Shown(phrase) + "' stands for more than " +
                        std::to_string(kMaxWays) +
                        " ways of writing it; give fewer abbreviated words in one phrase";
                return false;
            }
        }
        term.alternatives = std::move(ways);
    }
    query.terms = std::move(widened);
    return true;
}

}  // namespace abbreviations
