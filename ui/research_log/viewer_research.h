#pragma once
// CViewerResearch: what the viewer remembers for its user, wired to the
// search view by the view (CChronaraView), which hands it its boxes and
// tells it what happened:
//   - every search logged (the Search button's at once, the finders' once
//     their typing settles), with what was asked and how many were found;
//   - Up and Down in the edit boxes walking the earlier searches;
//   - the people whose More Info was opened marked seen;
//   - the choices kept in the user's settings: the database last searched
//     (chosen again at start), "Match name variants", the finders' choices,
//     the folder of the last export, and whether a log is kept.
// It never includes the view: what it needs of it comes as the Host.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QObject>
#include <QString>

#include "browse/research_log/log_entries.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_surname/find_surname_dlg.h"
#include "ui/results/more_info_dlg.h"

class CDirectories;
class CEditHistory;
class CPeopleCommands;
class CViewerLog;
class CViewerSettings;
class QComboBox;
class QLineEdit;

class CViewerResearch : public QObject {
    Q_OBJECT
public:
    struct Host {
        QLineEdit* surname = nullptr;
        QLineEdit* firstName = nullptr;
        QComboBox* databaseList = nullptr;
        // "Match name variants" set as the settings keep it.
        std::function<void(bool)> setNameVariants;
    };

    // settingsPath empty: the user's settings file.
    CViewerResearch(const CDirectories& dirs, Host host, const QString& settingsPath = QString(),
                    QObject* parent = nullptr);
    ~CViewerResearch() override;

    CViewerLog& Log() { return *log_; }
    CViewerSettings& Settings() { return *settings_; }
    CEditHistory& History() { return *history_; }

    // At start, once the view has chosen its first database: the choices kept.
    void Restore();

    // A search of the Search button (or of a surname listed), found or not:
    // database row, surname as searched, first name (empty: none).
    void Searched(int row, const std::string& surname, const std::string& firstName, bool nameVariants,
                  std::int64_t count);
    void NameVariantsSet(bool on);
    // More Info of the person at entry of database code was opened.
    void Opened(int code, std::int32_t entry);

    // The finders: their choices as kept, and their searches logged as the
    // typing settles, while the dialog is open; Done flushes the last one.
    CFindSurnameDlg::Choices SurnameChoices() const;
    void KeepSurnameChoices(const CFindSurnameDlg::Choices& choices);
    CFindRecordsDlg::Choices RecordsChoices() const;
    void KeepRecordsChoices(const CFindRecordsDlg::Choices& choices);
    void Watch(CFindSurnameDlg& dialog, int chosenRow);
    void Watch(CFindRecordsDlg& dialog, CRecordFinder& finder, int chosenRow);
    void DialogDone();

    // Save person: the note asked over over, then the person kept in the
    // log; false when cancelled or not kept (said).
    bool SavePerson(QWidget* over, const ExportedHit& person);
    // The Research Log window over parent; true with the search to run again.
    // What the window asks of the links is passed on (the signals below).
    bool ShowLog(QWidget* parent, CPeopleCommands& commands, research_log::LoggedSearch& chosen);

    // Where an export's save dialog starts: the folder of the last export,
    // else fallback; and the folder of a file the user chose.
    QString ExportFolder(const QString& fallback) const;
    void Exported(const QString& path);

    // The asked searches as the finders show them, for the log.
    static research_log::AskedSearch AskedOfListing(const QString& text,
                                                    const CFindSurnameDlg::Choices& choices, int chosenRow);
    static research_log::AskedSearch AskedOfRecords(const CFindRecordsDlg::Choices& choices, int chosenRow);

signals:
    // From the Research Log window: a saved person's More Info about to be
    // shown, and two saved people to be compared.
    void moreInfoOpening(CMoreInfoDlg* dialog, const ExportedHit& person);
    void compareRequested(const research_log::PersonOnDisk& first, const research_log::PersonOnDisk& second);

private:
    const CDirectories& dirs_;
    Host host_;
    std::unique_ptr<CViewerSettings> settings_;
    CViewerLog* log_;
    CEditHistory* history_;
    class CSettledSearch* settled_;
};
