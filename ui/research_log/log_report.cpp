#include "ui/research_log/log_report.h"

#include <QDateTime>
#include <QLocale>

#include "store/catalogue.h"
#include "ui/common/cp1252_qt.h"

namespace log_report {
namespace {

QString Text(const std::string& bytes) { return cp1252::ToQString(bytes.c_str()); }

QDateTime TimeOf(const std::string& time) {
    QDateTime parsed = QDateTime::fromString(QString::fromLatin1(time.c_str()), Qt::ISODate);
    // Shown as it was where it was logged, not converted to here.
    return parsed;
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string Field(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

QString DayOf(const std::string& time) {
    const QDateTime parsed = TimeOf(time);
    if (!parsed.isValid()) return QString::fromLatin1(time.c_str());
    return QLocale(QLocale::English).toString(parsed.date(), QStringLiteral("d MMMM yyyy"));
}

QString WhenOf(const std::string& time) {
    const QDateTime parsed = TimeOf(time);
    if (!parsed.isValid()) return QString::fromLatin1(time.c_str());
    return QLocale(QLocale::English).toString(parsed.date(), QStringLiteral("d MMMM yyyy")) +
           parsed.time().toString(QStringLiteral(" HH:mm"));
}

QString DatabaseOf(const std::string& database) {
    if (database == research_log::kAllDatabases) return QStringLiteral("all databases");
    const int code = catalogue::CodeOfStem(database.c_str());
    const char* title = code != 0 ? catalogue::TitleOfCode(code) : nullptr;
    return title != nullptr ? cp1252::ToQString(title) : Text(database);
}

QString FoundOf(const research_log::LoggedSearch& search) {
    const long long count = static_cast<long long>(search.count);
    if (search.asked.kind == research_log::SearchKind::List) {
        if (count == 0) return QStringLiteral("no surname");
        return count == 1 ? QStringLiteral("1 surname") : QStringLiteral("%1 surnames").arg(count);
    }
    if (count == 0) return QStringLiteral("nobody");
    return count == 1 ? QStringLiteral("1 person") : QStringLiteral("%1 people").arg(count);
}

QString AskedOf(const research_log::AskedSearch& asked) {
    switch (asked.kind) {
        case research_log::SearchKind::Surname: {
            QString text = Text(asked.surname);
            if (asked.hasFirstName) text += QStringLiteral(", ") + Text(asked.firstName);
            for (const std::string& option : asked.options) {
                text += option == "variants" ? QStringLiteral(" (name variants)")
                                             : QStringLiteral(" (%1)").arg(Text(option));
            }
            return text;
        }
        case research_log::SearchKind::List: {
            QString text = QStringLiteral("surnames like ") + Text(asked.surname);
            for (const std::string& option : asked.options) text += QStringLiteral(" (%1)").arg(Text(option));
            return text;
        }
        case research_log::SearchKind::Find: {
            QStringList parts;
            // As typed: its own quotes are its phrases.
            if (!asked.query.empty()) parts << Text(asked.query);
            if (!asked.field.empty()) parts << QStringLiteral("in the field %1").arg(Text(asked.field));
            if (asked.yearFrom != 0 && asked.yearFrom == asked.yearTo) {
                parts << QStringLiteral("year %1").arg(asked.yearFrom);
            } else if (asked.yearFrom != 0 || asked.yearTo != 0) {
                parts << QStringLiteral("years %1-%2").arg(asked.yearFrom).arg(asked.yearTo);
            }
            return QStringLiteral("the records for ") + parts.join(QStringLiteral(", "));
        }
    }
    return QString();
}

QString LineOf(const research_log::LoggedSearch& search) {
    const QString verb = search.asked.kind == research_log::SearchKind::List ? QStringLiteral("Listed")
                                                                             : QStringLiteral("Searched");
    return QStringLiteral("%1 %2 in %3 on %4: %5")
        .arg(verb, AskedOf(search.asked), DatabaseOf(search.asked.database), DayOf(search.time),
             FoundOf(search));
}

std::string CsvHeader() { return "time,program,database,asked,count\r\n"; }

std::string CsvLineOf(const research_log::LoggedSearch& search) {
    return Field(search.time) + "," + Field(search.program) + "," + Field(search.asked.database) + "," +
           Field(search.askedText) + "," + std::to_string(search.count) + "\r\n";
}

}  // namespace log_report
