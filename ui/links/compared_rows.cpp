#include "ui/links/compared_rows.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "browse/abbreviations/abbreviation_table.h"
#include "browse/linkage/folded_text.h"
#include "browse/linkage/link_facts.h"
#include "browse/linkage/link_places.h"
#include "ui/common/cp1252_qt.h"

namespace {

QString Folded(const QString& text) {
    QString folded = text.simplified().toCaseFolded();
    while (folded.endsWith(QLatin1Char('.'))) folded.chop(1);
    return folded;
}

// Two fields of a state that name one state in two forms ("AL", "Alabama").
bool SameState(linkage::FieldKind a, const QString& first, linkage::FieldKind b, const QString& second) {
    if (a != linkage::FieldKind::State || b != linkage::FieldKind::State) return false;
    std::uint64_t states[2] = {0, 0};
    std::vector<std::string> towns[2];
    linkage::ReadPlace(cp1252::FromQString(first).toStdString(), states[0], towns[0]);
    linkage::ReadPlace(cp1252::FromQString(second).toStdString(), states[1], towns[1]);
    return states[0] != 0 && states[0] == states[1] && towns[0].empty() && towns[1].empty();
}

// The rank a field is wholly one form of ("CPL", "Corporal"), else -1.
int WholeRank(const QString& text) {
    const std::vector<std::string> words = linkage::FoldedWords(cp1252::FromQString(text).toStdString());
    if (words.empty()) return -1;
    std::vector<CAbbreviationTable::Found> found;
    CAbbreviationTable::Builtin().FormsAt(words, 0, words.size(), found);
    for (const CAbbreviationTable::Found& form : found) {
        const int group = static_cast<int>(form.group);
        if (form.length == words.size() && !linkage::RankName(group).empty()) return group;
    }
    return -1;
}

// Two fields of a rank that name one rank in two forms ("CPL", "Corporal").
bool SameRank(linkage::FieldKind a, const QString& first, linkage::FieldKind b, const QString& second) {
    if (a != linkage::FieldKind::Rank || b != linkage::FieldKind::Rank) return false;
    const int rank = WholeRank(first);
    return rank >= 0 && rank == WholeRank(second);
}

// Whether word a of one value stands for word b of the other: the same
// word, or a letter standing as the initial of the other's word.
bool StandsFor(const std::string& a, const std::string& b) {
    if (a == b) return true;
    auto initialOf = [](const std::string& letter, const std::string& word) {
        const unsigned char c = static_cast<unsigned char>(letter[0]);
        return letter.size() == 1 && word.size() > 1 && !(c >= '0' && c <= '9') && word[0] == letter[0];
    };
    return initialOf(a, b) || initialOf(b, a);
}

// Two values of which one says part of what the other says: every word of
// the shorter stands, in order, for a word of the longer ("Joshua L." and
// "Joshua", "8 September 1828" and "8 September 1828, Brewer, Maine").
bool OneHoldsTheOther(const QString& first, const QString& second) {
    std::vector<std::string> a = linkage::FoldedWords(cp1252::FromQString(first).toStdString());
    std::vector<std::string> b = linkage::FoldedWords(cp1252::FromQString(second).toStdString());
    if (a.empty() || b.empty()) return false;
    if (a.size() > b.size()) std::swap(a, b);
    std::size_t k = 0;
    for (const std::string& word : a) {
        while (k < b.size() && !StandsFor(word, b[k])) ++k;
        if (k == b.size()) return false;
        ++k;
    }
    return true;
}

}  // namespace

std::vector<ProvenanceRow> AlignProvenance(const WholeRecordText::Pairs& first,
                                           const WholeRecordText::Pairs& second) {
    std::vector<ProvenanceRow> rows;
    std::vector<int> repeat;  // of each row: which entry of its key it is (0 for the first)
    auto nthOf = [](const WholeRecordText::Pairs& pairs, std::size_t at) {
        int n = 0;
        for (std::size_t i = 0; i < at; ++i) n += pairs[i].first == pairs[at].first ? 1 : 0;
        return n;
    };
    for (std::size_t i = 0; i < first.size(); ++i) {
        rows.push_back(ProvenanceRow{first[i].first, first[i].second, QString()});
        repeat.push_back(nthOf(first, i));
    }
    std::size_t after = 0;  // where the second's next entry of its own goes
    for (std::size_t k = 0; k < second.size(); ++k) {
        const int n = nthOf(second, k);
        std::size_t row = 0;
        while (row < rows.size() && !(rows[row].key == second[k].first && repeat[row] == n)) ++row;
        if (row < rows.size()) {
            rows[row].second = second[k].second;
            after = row + 1;
            continue;
        }
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(after),
                    ProvenanceRow{second[k].first, QString(), second[k].second});
        repeat.insert(repeat.begin() + static_cast<std::ptrdiff_t>(after), n);
        ++after;
    }
    return rows;
}

std::vector<ComparedRow> CompareFields(const WholeRecordText::Pairs& first,
                                       const WholeRecordText::Pairs& second) {
    auto kindOf = [](const QString& heading) {
        return linkage::KindOfHeading(cp1252::FromQString(heading).toStdString());
    };
    std::vector<linkage::FieldKind> firstKinds;
    std::vector<linkage::FieldKind> secondKinds;
    for (const auto& field : first) firstKinds.push_back(kindOf(field.first));
    for (const auto& field : second) secondKinds.push_back(kindOf(field.first));
    // partner[i]: the field of second paired with field i of first, or -1.
    std::vector<int> partner(first.size(), -1);
    std::vector<bool> taken(second.size(), false);
    // How alike two fields are: 3 one heading, 2 one kind, 1 one holding the other.
    auto alike = [&](std::size_t i, std::size_t k) {
        if (Folded(first[i].first) == Folded(second[k].first)) return 3;
        return linkage::KindsAlike(firstKinds[i], secondKinds[k]);
    };
    for (int level = 3; level >= 1; --level) {
        for (std::size_t i = 0; i < first.size(); ++i) {
            if (partner[i] >= 0) continue;
            for (std::size_t k = 0; k < second.size(); ++k) {
                if (taken[k] || alike(i, k) != level) continue;
                taken[k] = true;
                partner[i] = static_cast<int>(k);
                break;
            }
        }
    }
    std::vector<ComparedRow> rows;
    for (std::size_t i = 0; i < first.size(); ++i) {
        ComparedRow row{first[i].first, first[i].second, QString(), Agreement::OnlyFirst};
        if (partner[i] >= 0) {
            const auto& other = second[static_cast<std::size_t>(partner[i])];
            if (Folded(other.first) != Folded(row.heading))
                row.heading += QStringLiteral(" / ") + other.first;
            row.second = other.second;
            const linkage::FieldKind otherKind = secondKinds[static_cast<std::size_t>(partner[i])];
            if (Folded(row.first) == Folded(row.second) ||
                SameState(firstKinds[i], row.first, otherKind, row.second) ||
                SameRank(firstKinds[i], row.first, otherKind, row.second)) {
                row.agreement = Agreement::Agree;
            } else if (OneHoldsTheOther(row.first, row.second)) {
                row.agreement = Agreement::InPart;
            } else {
                row.agreement = Agreement::Differ;
            }
        }
        rows.push_back(std::move(row));
    }
    for (std::size_t k = 0; k < second.size(); ++k) {
        if (!taken[k])
            rows.push_back(ComparedRow{second[k].first, QString(), second[k].second, Agreement::OnlySecond});
    }
    return rows;
}

QString AgreementText(Agreement agreement, const QString& firstName, const QString& secondName) {
    switch (agreement) {
        case Agreement::Agree:
            return QStringLiteral("Agree");
        case Agreement::InPart:
            return QStringLiteral("Agree in part");
        case Agreement::Differ:
            return QStringLiteral("Differ");
        case Agreement::OnlyFirst:
            return QStringLiteral("Only in ") + firstName;
        case Agreement::OnlySecond:
            return QStringLiteral("Only in ") + secondName;
    }
    return QString();
}
