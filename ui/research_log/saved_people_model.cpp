#include "ui/research_log/saved_people_model.h"

#include "store/catalogue.h"
#include "ui/common/cp1252_qt.h"
#include "ui/research_log/log_report.h"

using research_log::SavedPerson;

CSavedPeopleModel::CSavedPeopleModel(QObject* parent) : QAbstractTableModel(parent) {}

void CSavedPeopleModel::SetPeople(std::vector<SavedPerson> people) {
    beginResetModel();
    people_ = std::move(people);
    endResetModel();
}

const SavedPerson* CSavedPeopleModel::Person(int row) const {
    return row >= 0 && row < static_cast<int>(people_.size()) ? &people_[static_cast<std::size_t>(row)]
                                                              : nullptr;
}

int CSavedPeopleModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(people_.size());
}

int CSavedPeopleModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant CSavedPeopleModel::data(const QModelIndex& index, int role) const {
    const SavedPerson* saved = Person(index.row());
    if (saved == nullptr || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return QVariant();
    const research_log::PersonOnDisk& person = saved->person;
    switch (index.column()) {
        case kSavedColumn:
            return log_report::DayOf(saved->time);
        case kSurnameColumn:
            return cp1252::ToQString(person.surname.c_str());
        case kGivenColumn:
            return cp1252::ToQString(person.givenNames.c_str());
        case kNoteColumn:
            return cp1252::ToQString(saved->note.c_str()).replace(QLatin1Char('\n'), QLatin1Char(' '));
        case kDatabaseColumn: {
            QString database = cp1252::ToQString(catalogue::TitleOfCode(person.code));
            if (!saved->ofThisDisk) database += QStringLiteral(" (another disk)");
            return database;
        }
        case kSummaryColumn:
            return cp1252::ToQString(person.summary.c_str());
        default:
            return QVariant();
    }
}

QVariant CSavedPeopleModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    switch (section) {
        case kSavedColumn:
            return QStringLiteral("Saved");
        case kSurnameColumn:
            return QStringLiteral("Surname");
        case kGivenColumn:
            return QStringLiteral("Given names");
        case kNoteColumn:
            return QStringLiteral("Note");
        case kDatabaseColumn:
            return QStringLiteral("Database");
        case kSummaryColumn:
            return QStringLiteral("Summary");
        default:
            return QVariant();
    }
}
