#include "ui/links/compared_rows.h"

namespace {

QString Folded(const QString& text) {
    QString folded = text.simplified().toCaseFolded();
    while (folded.endsWith(QLatin1Char('.'))) folded.chop(1);
    return folded;
}

}  // namespace

std::vector<ComparedRow> CompareFields(const WholeRecordText::Pairs& first,
                                       const WholeRecordText::Pairs& second) {
    std::vector<ComparedRow> rows;
    std::vector<bool> taken(second.size(), false);
    for (const auto& field : first) {
        ComparedRow row{field.first, field.second, QString(), Agreement::OnlyFirst};
        for (std::size_t k = 0; k < second.size(); ++k) {
            if (taken[k] || Folded(second[k].first) != Folded(field.first)) continue;
            taken[k] = true;
            row.second = second[k].second;
            row.agreement = Folded(row.first) == Folded(row.second) ? Agreement::Agree : Agreement::Differ;
            break;
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
        case Agreement::Differ:
            return QStringLiteral("Differ");
        case Agreement::OnlyFirst:
            return QStringLiteral("Only in ") + firstName;
        case Agreement::OnlySecond:
            return QStringLiteral("Only in ") + secondName;
    }
    return QString();
}
