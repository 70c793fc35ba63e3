#include "ui/research_log/viewer_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

constexpr char kDatabase[] = "search/database";
constexpr char kNameVariants[] = "search/name-variants";
constexpr char kKeepLog[] = "research-log/keep";
constexpr char kExportFolder[] = "export/folder";
constexpr char kSurnameMatch[] = "find-surname/match";
constexpr char kSurnameScope[] = "find-surname/scope";
constexpr char kRecordsField[] = "find-records/field";
constexpr char kRecordsFrom[] = "find-records/years-from";
constexpr char kRecordsTo[] = "find-records/years-to";
constexpr char kRecordsScope[] = "find-records/scope";
constexpr char kRecordsAbbreviations[] = "find-records/abbreviations";

// A file edited by hand may hold anything: values longer than these are
// taken for missing.
constexpr int kMaxWord = 40;
constexpr int kMaxField = 200;
constexpr int kMaxYear = 4;
constexpr int kMaxPath = 4096;

bool IsAbsoluteFolder(const QByteArray& value) {
    return value.startsWith('/') && value.count('/') < value.size();
}

bool BoolOf(const QSettings& settings, const char* key, bool fallback) {
    const QString text = settings.value(QLatin1String(key)).toString();
    if (text == QLatin1String("true")) return true;
    if (text == QLatin1String("false")) return false;
    return fallback;
}

}  // namespace

CViewerSettings::CViewerSettings(QString path)
    : settings_(new QSettings(path.isEmpty() ? DefaultPath() : path, QSettings::IniFormat)) {}

CViewerSettings::~CViewerSettings() { delete settings_; }

QString CViewerSettings::DefaultPath() {
    QString home;
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    if (IsAbsoluteFolder(configHome)) {
        home = QString::fromLocal8Bit(configHome);
    } else {
        home = QDir::homePath() + QStringLiteral("/.config");
    }
    return home + QStringLiteral("/chronara/viewer.conf");
}

QString CViewerSettings::Path() const { return settings_->fileName(); }

QString CViewerSettings::Text(const char* key, int maxLength) const {
    const QVariant value = settings_->value(QLatin1String(key));
    const QString text = value.toString();
    return text.size() <= maxLength ? text : QString();
}

void CViewerSettings::Put(const char* key, const QString& value) {
    // The folder is the user's own; QSettings makes it with the process's
    // mask, so it is made first with the user's alone.
    const QFileInfo file(settings_->fileName());
    if (!file.dir().exists()) QDir().mkpath(file.dir().path());
    QFile::setPermissions(file.dir().path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    settings_->setValue(QLatin1String(key), value);
    settings_->sync();
}

QString CViewerSettings::Database() const { return Text(kDatabase, kMaxWord); }
void CViewerSettings::SetDatabase(const QString& stem) { Put(kDatabase, stem); }

bool CViewerSettings::NameVariants() const { return BoolOf(*settings_, kNameVariants, false); }
void CViewerSettings::SetNameVariants(bool on) {
    Put(kNameVariants, on ? QStringLiteral("true") : QStringLiteral("false"));
}

bool CViewerSettings::KeepLog() const { return BoolOf(*settings_, kKeepLog, true); }
void CViewerSettings::SetKeepLog(bool keep) {
    Put(kKeepLog, keep ? QStringLiteral("true") : QStringLiteral("false"));
}

QString CViewerSettings::ExportFolder() const {
    const QString folder = Text(kExportFolder, kMaxPath);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}
void CViewerSettings::SetExportFolder(const QString& folder) { Put(kExportFolder, folder); }

QString CViewerSettings::SurnameMatch() const { return Text(kSurnameMatch, kMaxWord); }
QString CViewerSettings::SurnameScope() const { return Text(kSurnameScope, kMaxWord); }
void CViewerSettings::SetSurnameChoices(const QString& match, const QString& scope) {
    Put(kSurnameMatch, match);
    Put(kSurnameScope, scope);
}

CViewerSettings::RecordChoices CViewerSettings::RecordsChoices() const {
    RecordChoices choices;
    choices.field = Text(kRecordsField, kMaxField);
    choices.yearsFrom = Text(kRecordsFrom, kMaxYear);
    choices.yearsTo = Text(kRecordsTo, kMaxYear);
    choices.scope = Text(kRecordsScope, kMaxWord);
    choices.abbreviations = BoolOf(*settings_, kRecordsAbbreviations, false);
    return choices;
}

void CViewerSettings::SetRecordsChoices(const RecordChoices& choices) {
    Put(kRecordsField, choices.field);
    Put(kRecordsFrom, choices.yearsFrom);
    Put(kRecordsTo, choices.yearsTo);
    Put(kRecordsScope, choices.scope);
    Put(kRecordsAbbreviations, choices.abbreviations ? QStringLiteral("true") : QStringLiteral("false"));
}
