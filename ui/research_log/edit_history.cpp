#include "ui/research_log/edit_history.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "ui/common/cp1252_qt.h"

CEditHistory::CEditHistory(QLineEdit& surname, QLineEdit& firstName, EarlierOf earlier, ChosenDatabase chosen,
                           QObject* parent)
    : QObject(parent),
      surname_(surname),
      firstName_(firstName),
      earlierOf_(std::move(earlier)),
      chosen_(std::move(chosen)) {
    for (QLineEdit* edit : {&surname_, &firstName_}) {
        edit->installEventFilter(this);
        // What the user types is theirs: the walk ends and starts again from it.
        connect(edit, &QLineEdit::textEdited, this, [this]() { Forget(); });
    }
}

void CEditHistory::Forget() {
    index_ = -1;
    earlier_.clear();
}

bool CEditHistory::Shows(const research_log::AskedSearch& asked) const {
    const QString firstName = asked.hasFirstName ? cp1252::ToQString(asked.firstName.c_str()) : QString();
    return surname_.text().compare(cp1252::ToQString(asked.surname.c_str()), Qt::CaseInsensitive) == 0 &&
           firstName_.text().trimmed().compare(firstName.trimmed(), Qt::CaseInsensitive) == 0;
}

void CEditHistory::Show(const QString& surname, const QString& firstName) {
    surname_.setText(surname);
    firstName_.setText(firstName);
    surname_.end(false);
    firstName_.end(false);
}

bool CEditHistory::Step(bool back) {
    if (index_ < 0) {
        if (!back) {
            QApplication::beep();
            return false;
        }
        earlier_ = earlierOf_(chosen_());
        typedSurname_ = surname_.text();
        typedFirstName_ = firstName_.text();
    }
    int next = index_;
    do {
        next += back ? 1 : -1;
    } while (next >= 0 && next < static_cast<int>(earlier_.size()) && Shows(earlier_[next]));
    if (next >= static_cast<int>(earlier_.size())) {
        QApplication::beep();
        return false;
    }
    index_ = next;
    if (index_ < 0) {
        Show(typedSurname_, typedFirstName_);
        Forget();
        return true;
    }
    const research_log::AskedSearch& asked = earlier_[index_];
    Show(cp1252::ToQString(asked.surname.c_str()),
         asked.hasFirstName ? cp1252::ToQString(asked.firstName.c_str()) : QString());
    return true;
}

bool CEditHistory::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier || (key->key() != Qt::Key_Up && key->key() != Qt::Key_Down))
        return QObject::eventFilter(watched, event);
    Step(key->key() == Qt::Key_Up);
    return true;
}
