#include "ui/results/record_text.h"

namespace record_text {

QString Lines(const QString& text) {
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
            lines.append(QLatin1Char('\n'));
            ++i;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(QLatin1Char(' '));
        } else {
            lines.append(c);
        }
    }
    return lines;
}

}  // namespace record_text
