#pragma once
// Text typed into the viewer enters the core through here, by the rule
// chronara-query follows (cp1252::FromTypedUtf8): a letter that
// Windows-1252 cannot write but that stands on one of its letters is
// searched as that letter, and any other such character is refused. Every
// box whose text is searched is guarded (Guard): the box shows the letter
// searched as soon as the other one is typed or pasted, and a refused
// character never enters it. Either is said in a tip under the box, which
// is also the box's accessible description, so that screen readers hear
// it; a refusal beeps as well. Never a '?', never a change without a word.

#include <QByteArray>
#include <QString>

class QLineEdit;

namespace typed_text {

// What text is searched as: the Windows-1252 bytes into searched. Returns
// false for text with a character that has no letter to be searched as;
// refusal then says which (for the user), and searched is left alone.
// folding (when given) gets "ł as l, ę as e" for the letters searched as others.
bool ToSearched(const QString& text, QByteArray& searched, QString* refusal = nullptr,
                QString* folding = nullptr);

// Guards edit: typing or pasting folds and refuses as above. Call once per box.
void Guard(QLineEdit& edit);

// The box's text as searched; a text with a character that is refused
// (one set by the program, as typing cannot put it there) is refused at
// the box as typing it would be, and gives false.
bool Read(QLineEdit& edit, QByteArray& searched);

// Says note under a guarded box, as its tips are said (without a beep):
// for what the box's owner knows of the text, such as a length searched.
void Say(QLineEdit& edit, const QString& note);

// The last tip of a guarded box (empty before any): what the user and the screen reader were told.
QString LastTip(const QLineEdit& edit);

}  // namespace typed_text
