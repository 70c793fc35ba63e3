#pragma once
// Two records side by side, field by field: the fields of both aligned by
// what they are (the first record's order, then what only the second
// holds), each row saying in words whether the two agree. Fields of one
// heading pair first; then fields whose headings say one thing in two
// databases' words ("Born" and "Date of birth", "Rank" and "Final rank", as
// the linkage reads headings: browse/linkage/link_facts.h); a birth and its
// date or place last; the rest each on a row of its own.

#include <vector>

#include <QString>

#include "ui/results/whole_record_text.h"

// InPart: one value says part of what the other says, every word of it
// standing in order for a word of the other, a letter for a word it is the
// initial of ("Joshua L." and "Joshua", "1828" and "8 September 1828").
enum class Agreement { Agree, InPart, Differ, OnlyFirst, OnlySecond };

struct ComparedRow {
    QString heading;  // "Born / Date of birth" where the two headings differ
    QString first;    // empty when the first record has no such field
    QString second;   // likewise
    Agreement agreement = Agreement::Agree;
};

// The rows of first and second; headings and values are matched without
// regard to case, blanks and a closing full stop ("Maine." is "maine"), and
// a state or a rank agrees with itself in the forms records write for it
// ("AL" and "Alabama", "CPL" and "Corporal").
std::vector<ComparedRow> CompareFields(const WholeRecordText::Pairs& first,
                                       const WholeRecordText::Pairs& second);

// Where two records came from, side by side: the entries of one key on one
// row (the n-th of a key that repeats beside the other's n-th), in the
// first's order, each of the second's own placed after the entry it
// follows there.
struct ProvenanceRow {
    QString key;
    QString first;   // empty when the first's provenance has no such entry
    QString second;  // likewise
};
std::vector<ProvenanceRow> AlignProvenance(const WholeRecordText::Pairs& first,
                                           const WholeRecordText::Pairs& second);

// "Agree", "Agree in part", "Differ", "Only in <first>", "Only in <second>": the words that
// mark a row, beside its colour.
QString AgreementText(Agreement agreement, const QString& firstName, const QString& secondName);
