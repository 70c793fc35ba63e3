#pragma once
// CEditHistory: Up and Down in the surname and first-name edits walk the
// earlier searches of the database chosen, as a shell's history does: Up
// the one before (a surname and its first name, into both boxes), Down
// the one after, and Down past the newest gives back what was typed. A
// search the boxes show already is stepped over; typing, or choosing
// another database, ends the walk. Without an earlier search the key beeps.

#include <functional>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "browse/research_log/log_entries.h"

class QLineEdit;

class CEditHistory : public QObject {
    Q_OBJECT
public:
    // What the walk reads: the searches of a database (a stem), newest
    // first, and the stem of the database chosen now.
    using EarlierOf = std::function<std::vector<research_log::AskedSearch>(const std::string& database)>;
    using ChosenDatabase = std::function<std::string()>;

    CEditHistory(QLineEdit& surname, QLineEdit& firstName, EarlierOf earlier, ChosenDatabase chosen,
                 QObject* parent = nullptr);

    // Up (back) or Down; false (and a beep) when there is nowhere to go.
    bool Step(bool back);
    // Ends the walk: the next Up starts again from the newest search.
    void Forget();
    bool Walking() const { return index_ >= 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show(const QString& surname, const QString& firstName);
    bool Shows(const research_log::AskedSearch& asked) const;

    QLineEdit& surname_;
    QLineEdit& firstName_;
    EarlierOf earlierOf_;
    ChosenDatabase chosen_;
    std::vector<research_log::AskedSearch> earlier_;
    int index_ = -1;
    QString typedSurname_;
    QString typedFirstName_;
};
