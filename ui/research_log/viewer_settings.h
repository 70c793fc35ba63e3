#pragma once
// CViewerSettings: the viewer's choices kept between runs, in the user's
// settings folder ($XDG_CONFIG_HOME/chronara/viewer.conf, ~/.config when
// XDG_CONFIG_HOME is not an absolute folder), never in the installation's
// profile: the database last searched, "Match name variants", the finders'
// choices, the folder of the last export and whether a research log is
// kept. Several programs may share the file: each change is written at
// once (QSettings locks the file and replaces it whole), and a value that
// is missing or not as written reads as its default.

#include <QString>

class QSettings;

class CViewerSettings {
public:
    // path: the settings file; empty: the user's (DefaultPath).
    explicit CViewerSettings(QString path = QString());
    ~CViewerSettings();
    CViewerSettings(const CViewerSettings&) = delete;
    CViewerSettings& operator=(const CViewerSettings&) = delete;

    static QString DefaultPath();
    QString Path() const;

    // The database last searched, by its stem; empty when none is kept.
    QString Database() const;
    void SetDatabase(const QString& stem);
    bool NameVariants() const;
    void SetNameVariants(bool on);
    bool KeepLog() const;
    void SetKeepLog(bool keep);
    // The folder of the last export; empty when none is kept, or when it is
    // no longer a folder.
    QString ExportFolder() const;
    void SetExportFolder(const QString& folder);

    // Find Surname's match ("prefix", "exact", ...) and scope ("all" or
    // "chosen"); empty when none is kept.
    QString SurnameMatch() const;
    QString SurnameScope() const;
    void SetSurnameChoices(const QString& match, const QString& scope);
    // Find in Records' field (a heading, "surname", "given"; empty: any),
    // years and scope ("all" or "chosen").
    struct RecordChoices {
        QString field;
        QString yearsFrom;
        QString yearsTo;
        QString scope;
        bool abbreviations = false;
    };
    RecordChoices RecordsChoices() const;
    void SetRecordsChoices(const RecordChoices& choices);

private:
    QString Text(const char* key, int maxLength) const;
    void Put(const char* key, const QString& value);

    QSettings* settings_;
};
