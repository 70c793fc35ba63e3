#include "ui/common/typed_text.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QList>
#include <QToolTip>
#include <QValidator>
#include <QVariant>
#include <QtGlobal>

#include "store/cp1252.h"
#include "ui/common/cp1252_qt.h"

namespace typed_text {

namespace {

// Through UTF-8, exactly as the tool takes its arguments: the same text gives the same bytes.
bool Converts(const QString& text, std::string& out, std::vector<cp1252::FoldedCharacter>* folded,
              std::string* error) {
    const QByteArray utf8 = text.toUtf8();
    return cp1252::FromTypedUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                                 out, folded, error);
}

// Why text (which does not convert) is refused, in plain words: the first
// character that has no letter to be searched as. A mark that makes no
// letter of the one before it is shown on a dotted circle, as it stands alone.
QString RefusalOf(const QString& text, const std::string& error) {
    const QList<uint> codePoints = text.toUcs4();
    // The shortest refused start of the text: every longer start is refused too.
    qsizetype low = 0;                   // converts
    qsizetype high = codePoints.size();  // refused
    while (high - low > 1) {
        const qsizetype middle = (low + high) / 2;
        std::string ignored;
        const QList<uint> start = codePoints.mid(0, middle);
        if (Converts(QString::fromUcs4(reinterpret_cast<const char32_t*>(start.constData()), start.size()),
                     ignored, nullptr, nullptr)) {
            low = middle;
        } else {
            high = middle;
        }
    }
    if (high < 1 || high > codePoints.size())
        return QStringLiteral("Not typed: %1.").arg(QString::fromUtf8(error.c_str()));
    const char32_t refused = codePoints[high - 1];
    QString shown = QString::fromUcs4(&refused, 1);
    if (shown.size() == 1 && shown.at(0).isMark()) shown.prepend(QChar(0x25CC));
    return QStringLiteral("%1 cannot be searched: the records use only Western European letters.").arg(shown);
}

}  // namespace

bool ToSearched(const QString& text, QByteArray& searched, QString* refusal, QString* folding) {
    std::string out;
    std::vector<cp1252::FoldedCharacter> folded;
    std::string error;
    if (!Converts(text, out, &folded, &error)) {
        if (refusal != nullptr) *refusal = RefusalOf(text, error);
        return false;
    }
    searched = QByteArray(out.data(), static_cast<qsizetype>(out.size()));
    if (folding != nullptr) *folding = QString::fromUtf8(cp1252::DescribeFolding(folded).c_str());
    return true;
}

namespace {

constexpr char kTipProperty[] = "typedTextTip";
constexpr char kBaseDescriptionProperty[] = "typedTextDescription";
// The tip as shown: its text broken into lines.
constexpr char kShownTipProperty[] = "typedTextShownTip";

// Folds what is typed into the letters searched, and refuses what has none.
// QLineEdit undoes a refused change by itself and says so (inputRejected);
// a folded change it takes as the validator rewrote it.
class TypedTextValidator : public QValidator {
public:
    explicit TypedTextValidator(QObject* parent) : QValidator(parent) {}

    State validate(QString& input, int& pos) const override {
        // A change cut by the box's length alone is rejected too (inputRejected), with nothing refused.
        refusal_.clear();
        QByteArray searched;
        QString refusal, folding;
        if (!ToSearched(input, searched, &refusal, &folding)) {
            refusal_ = refusal;
            return Invalid;
        }
        const QString shown =
            cp1252::ToQString(searched.constData(), static_cast<std::size_t>(searched.size()));
        // Decomposed text (a letter and its marks) is shown composed, without a word: it reads the same.
        if (shown == input) return Acceptable;
        // The cursor stays after the same character: what stood before it, folded.
        QByteArray before;
        pos = ToSearched(input.left(pos), before) ? static_cast<int>(before.size())
                                                  : static_cast<int>(std::min(shown.size(), qsizetype{pos}));
        input = shown;
        if (folding.isEmpty()) return Acceptable;
        // "ł is searched as l, ę as e."
        folding_ =
            folding.replace(folding.indexOf(QLatin1String(" as ")), 4, QLatin1String(" is searched as ")) +
            QLatin1Char('.');
        folded_ = shown;
        return Acceptable;
    }

    // Written by validate, which Qt declares const; read by the box's signals right after.
    mutable QString refusal_;
    mutable QString folding_;
    mutable QString folded_;
};

// A tip that came during a key press waits for the key's release: where
// Qt's tips close on any key, the release of the key that caused it would
// close it at once. The box's next change or the focus leaving it closes it.
class TipOnRelease : public QObject {
public:
    // A child of the box: it never outlives it. Events that reach it while the
    // box is being destroyed find a QWidget only, so the box is one here.
    explicit TipOnRelease(QLineEdit* edit) : QObject(edit), edit_(edit) { edit->installEventFilter(this); }

    void Show(const QString& text) {
        if (keyDown_) {
            pending_ = text;
            return;
        }
        ShowNow(text);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != edit_) return false;
        if (event->type() == QEvent::KeyPress) {
            keyDown_ = true;
        } else if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
            keyDown_ = false;
            if (!pending_.isEmpty()) ShowNow(pending_);
            pending_.clear();
        } else if (event->type() == QEvent::FocusOut) {
            keyDown_ = false;
            pending_.clear();
            if (QToolTip::isVisible() &&
                QToolTip::text() == watched->property(kShownTipProperty).toString()) {
                QToolTip::hideText();
            }
        }
        return false;
    }

private:
    void ShowNow(const QString& text) {
        if (!edit_->isVisible()) return;
        // Under the box, from the cursor, in lines that end within the
        // box's window (the tip's own margins aside), and never left of it.
        const QRect window = edit_->window()->geometry();
        const QRect cursor = edit_->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QPoint at = edit_->mapToGlobal(QPoint(cursor.left(), edit_->height()));
        const QFontMetrics metrics(QToolTip::font());
        const int widest = std::max(metrics.averageCharWidth() * 24, window.right() - at.x() - kTipMargins);
        const QString lines = Wrapped(text, metrics, std::min(widest, window.width() - kTipMargins));
        int width = 0;
        for (const QString& line : lines.split(QLatin1Char('\n')))
            width = std::max(width, metrics.horizontalAdvance(line));
        at.setX(std::max(window.left(), std::min(at.x(), window.right() - width - kTipMargins)));
        edit_->setProperty(kShownTipProperty, lines);
        QToolTip::showText(at, lines, edit_);
    }

    // Room the tip's frame and padding take beside its text.
    static constexpr int kTipMargins = 12;

    // text broken at blanks into lines no wider than width (a word wider
    // than that stands on a line of its own).
    static QString Wrapped(const QString& text, const QFontMetrics& metrics, int width) {
        QString lines, line;
        for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
                lines += line + QLatin1Char('\n');
                line = word;
            } else {
                line = longer;
            }
        }
        return lines + line;
    }

    QWidget* edit_;
    bool keyDown_ = false;
    QString pending_;
};

void Tell(QLineEdit& edit, const QString& text, bool refused) {
    if (refused) QApplication::beep();
    // The description the box had of its own comes back after the tip (see Guard).
    if (edit.accessibleDescription() != LastTip(edit)) {
        edit.setProperty(kBaseDescriptionProperty, edit.accessibleDescription());
    }
    edit.setProperty(kTipProperty, text);
    // A changed description is what a screen reader in the box hears.
    edit.setAccessibleDescription(text);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent announcement(&edit, text);
    QAccessible::updateAccessibility(&announcement);
#endif
    for (QObject* child : edit.children()) {
        if (auto* tip = dynamic_cast<TipOnRelease*>(child)) tip->Show(text);
    }
}

}  // namespace

void Guard(QLineEdit& edit) {
    auto* validator = new TypedTextValidator(&edit);
    new TipOnRelease(&edit);
    edit.setValidator(validator);
    QObject::connect(&edit, &QLineEdit::inputRejected, &edit, [&edit, validator]() {
        // Without a refusal the box's length cut the change; its owner may say so (Say).
        if (!validator->refusal_.isEmpty()) Tell(edit, validator->refusal_, true);
    });
    // Every change of the text, typed or set, comes here once it is folded.
    QObject::connect(&edit, &QLineEdit::textChanged, &edit, [&edit, validator](const QString& text) {
        if (!validator->folding_.isEmpty() && text == validator->folded_) {
            Tell(edit, validator->folding_, false);
        } else if (!LastTip(edit).isEmpty() && edit.accessibleDescription() == LastTip(edit)) {
            // The next change without a word takes the tip and its description away again.
            edit.setAccessibleDescription(edit.property(kBaseDescriptionProperty).toString());
            if (QToolTip::isVisible() && QToolTip::text() == edit.property(kShownTipProperty).toString()) {
                QToolTip::hideText();
            }
        }
        validator->folding_.clear();
    });
}

bool Read(QLineEdit& edit, QByteArray& searched) {
    QString refusal;
    if (ToSearched(edit.text(), searched, &refusal)) return true;
    Tell(edit, refusal, true);
    return false;
}

void Say(QLineEdit& edit, const QString& note) { Tell(edit, note, false); }

QString LastTip(const QLineEdit& edit) { return edit.property(kTipProperty).toString(); }

}  // namespace typed_text
