#include "browse/record_query/record_query.h"

#include "browse/record_query/record_words.h"

namespace record_query {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// One term as typed: its text with the quotes taken out.
struct RawTerm {
    std::string text;
    bool excluded = false;
    bool quoted = false;
    // The word OR standing alone, unquoted: it joins the terms on each side.
    bool IsOr() const { return !excluded && !quoted && text == "OR"; }
};

// The text of one term, from at to the first blank outside quotes.
bool ReadTerm(std::string_view text, std::size_t& at, RawTerm& term, std::string& error) {
    if (text[at] == '-') {
        term.excluded = true;
        ++at;
    }
    bool quoted = false;
    for (; at < text.size() && (quoted || !IsBlank(text[at])); ++at) {
        if (text[at] == '"') {
            quoted = !quoted;
            term.quoted = true;
        } else {
            term.text += text[at];
        }
    }
    if (quoted) {
        error = "a quote is not closed: every \" needs its closing \"";
        return false;
    }
    return true;
}

// What a term is short of a well-formed one, as shown in a message.
std::string Shown(const RawTerm& raw) { return std::string(raw.excluded ? "-" : "") + raw.text; }

bool MakePhrase(const RawTerm& raw, Phrase& term, std::string& error) {
    std::string_view body = raw.text;
    const std::size_t star = body.find('*');
    if (star != std::string_view::npos) {
        if (star + 1 != body.size() || star == 0 || !record_words::IsWordByte(body[star - 1])) {
            if (record_words::WordsOf(body).empty()) {
                error = "the term '" + Shown(raw) + "' holds no letter or digit";
            } else {
                error = "a * may only end a term, right after a letter or digit (as in Mukd*), not as in '" +
                        Shown(raw) + "'";
            }
            return false;
        }
        body.remove_suffix(1);
        term.prefix = true;
    }
    term.words = record_words::WordsOf(body);
    if (term.words.empty()) {
        error = raw.text.empty() && !raw.excluded ? "a quoted term is empty"
                                                  : "the term '" + Shown(raw) + "' holds no letter or digit";
        return false;
    }
    return true;
}

// OR joins two terms: what is wrong with where it stands.
std::string OrFault(const char* where) {
    return std::string("OR joins two terms, as in maine OR ohio, but ") + where +
           "; to look for the word itself, quote it: \"OR\"";
}

constexpr const char* kExcludedOr =
    "an excluded term cannot be joined by OR; to leave out either of two, exclude each: -a -b";

bool ParseNumber(std::string_view text, int& value) { return record_words::ParseDigits(text, 4, value); }

}  // namespace

bool Query::HasPositive() const {
    if (years.given) return true;
    for (const Term& term : terms) {
        if (!term.excluded) return true;
    }
    return false;
}

Parsed Parse(std::string_view text, const YearRange& years) {
    Parsed parsed;
    parsed.query.years = years;
    auto fail = [&parsed](std::string error) {
        parsed.error = std::move(error);
        parsed.query = Query{};
        return parsed;
    };
    std::size_t at = 0;
    // Whether the last term read was followed by OR: the next one joins it.
    bool joining = false;
    while (at < text.size()) {
        if (IsBlank(text[at])) {
            ++at;
            continue;
        }
        RawTerm raw;
        Phrase phrase;
        if (!ReadTerm(text, at, raw, parsed.error)) return fail(parsed.error);
        if (raw.IsOr()) {
            if (parsed.query.terms.empty()) return fail(OrFault("this query begins with OR"));
            if (joining) return fail(OrFault("here two ORs stand together"));
            if (parsed.query.terms.back().excluded) return fail(kExcludedOr);
            joining = true;
            continue;
        }
        if (!MakePhrase(raw, phrase, parsed.error)) return fail(parsed.error);
        if (joining) {
            if (raw.excluded) return fail(kExcludedOr);
            parsed.query.terms.back().alternatives.push_back(std::move(phrase));
            joining = false;
            continue;
        }
        Term term;
        term.excluded = raw.excluded;
        term.alternatives.push_back(std::move(phrase));
        parsed.query.terms.push_back(std::move(term));
    }
    if (joining) return fail(OrFault("this query ends with OR"));
    if (!parsed.query.HasPositive()) {
        parsed.error =
            parsed.query.terms.empty()
                ? "the query is empty: give a word to look for, or years"
                : "the query only excludes: give a word to look for that is not excluded, or years";
        parsed.query = Query{};
        return parsed;
    }
    parsed.ok = true;
    return parsed;
}

bool ParseYears(std::string_view text, YearRange& years, std::string& error) {
    const std::size_t dash = text.find('-');
    const std::string_view from = text.substr(0, dash);
    const std::string_view to = dash == std::string_view::npos ? from : text.substr(dash + 1);
    years = YearRange{};
    if (!ParseNumber(from, years.from) || !ParseNumber(to, years.to)) {
        error =
            "--years takes a year or a range of years, as 1944 or 1941-1945, not '" + std::string(text) + "'";
        return false;
    }
    if (years.from > years.to) {
        error = "--years: the range " + std::string(text) + " runs backwards; give the earlier year first";
        return false;
    }
    years.given = true;
    return true;
}

}  // namespace record_query
