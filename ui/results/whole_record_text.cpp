#include "ui/results/whole_record_text.h"

#include <QStringList>

#include "browse/record_text/whole_record.h"
#include "ui/common/cp1252_qt.h"
#include "ui/results/record_text.h"

namespace {

QString Text(const std::string& windows1252) {
    return cp1252::ToQString(windows1252.data(), windows1252.size());
}

}  // namespace

WholeRecordText WholeRecordTextOf(const QString& title, const FoundPerson& person,
                                  const std::vector<ProvenanceEntry>& provenance) {
    WholeRecordText whole;
    whole.title = title;
    for (const HeadedField& field : whole_record::FieldsOf(person)) {
        if (!field.text.empty()) whole.fields.emplace_back(Text(field.heading), Text(field.text));
    }
    for (const ProvenanceEntry& entry : whole_record::InShownOrder(provenance))
        whole.provenance.emplace_back(Text(entry.key), Text(entry.value));
    whole.lines = record_text::Lines(Text(whole_record::Text(person, provenance)));
    return whole;
}

QString FieldLinesOf(const FoundPerson& person) {
    return record_text::Lines(Text(whole_record::Text(person, {})));
}

QString ProvenanceLinesOf(const std::vector<ProvenanceEntry>& provenance) {
    QStringList lines;
    for (const ProvenanceEntry& entry : whole_record::InShownOrder(provenance))
        lines << Text(entry.key) + QStringLiteral(": ") + Text(entry.value);
    return lines.join(QLatin1Char('\n'));
}
