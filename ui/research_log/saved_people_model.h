#pragma once
// CSavedPeopleModel: the saved people of the research log as the Research
// Log window lists them, oldest first: when saved, the name, the note
// (before what the disk says, so that it is seen without scrolling), the
// database and the summary. A log may hold many thousands: the texts are
// made as the list shows them, never all at once.

#include <vector>

#include <QAbstractTableModel>

#include "browse/research_log/log_entries.h"

class CSavedPeopleModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        kSavedColumn,
        kSurnameColumn,
        kGivenColumn,
        kNoteColumn,
        kDatabaseColumn,
        kSummaryColumn,
        kColumns
    };

    explicit CSavedPeopleModel(QObject* parent = nullptr);

    void SetPeople(std::vector<research_log::SavedPerson> people);
    const std::vector<research_log::SavedPerson>& People() const { return people_; }
    const research_log::SavedPerson* Person(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<research_log::SavedPerson> people_;
};
