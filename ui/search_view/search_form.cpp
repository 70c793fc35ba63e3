#include "ui/search_view/search_form.h"

#include <algorithm>
#include <cstring>

#include <QComboBox>
#include <QLineEdit>
#include <QVariant>
#include <QWidget>

#include "browse/session/search_session.h"
#include "store/catalogue.h"
#include "ui/common/cp1252_qt.h"
#include "ui/common/typed_text.h"
#include "ui/search_view/dialog_keys.h"
#include "ui/search_view/view_layout.h"

using namespace view_layout;

namespace {

// The surname edit is read as into 20 bytes: at most 19 characters.
constexpr std::size_t kSurnameMax = CSearchSession::kMaxSurname;
// The first-name edit is read as into 256 bytes: at most 250 characters.
constexpr std::size_t kFirstNameMax = CSearchSession::kMaxFirstName;

// The bytes searched up to their first NUL, at most max of them.
std::string Bounded(const QByteArray& searched, std::size_t max) {
    const std::size_t length =
        std::min(strnlen(searched.constData(), static_cast<std::size_t>(searched.size())), max);
    return std::string(searched.constData(), length);
}

void Identify(QWidget& control, int id, const char* name) {
    control.setObjectName(QString::fromLatin1(name));
    control.setProperty("controlId", id);
}

}  // namespace

CSearchForm::CSearchForm(QWidget& view, CDialogKeys& keys) : QObject(&view) {
    QLineEdit* edits[2] = {};
    const char* names[2] = {"Surname", "FirstName"};
    // The labels beside the boxes are painted in the backdrop; these are their names for screen readers.
    const char* labels[2] = {"Last Name", "First Name"};
    for (int i = 0; i < 2; ++i) {
        const EditLayout& entry = kEdits[i];
        auto* edit = new QLineEdit(&view);
        edit->setGeometry(entry.x, entry.y, entry.width, entry.height);
        edit->setMaxLength(entry.limit);
        Identify(*edit, entry.id, names[i]);
        keys.Watch(*edit);
        edit->setAccessibleName(QString::fromLatin1(labels[i]));
        typed_text::Guard(*edit);
        edits[i] = edit;
    }
    surname_ = edits[0];
    firstName_ = edits[1];
    // The box holds a character more than is searched: a longer surname is
    // not cut without a word. Said as the user types or pastes it, not when
    // a listed surname is shown (that one is searched whole).
    // Qt tells of the user's edit first and of the change after it, when
    // the guard has had its say; the note comes last.
    connect(surname_, &QLineEdit::textEdited, this, [this]() { surnameEdited_ = true; });
    connect(surname_, &QLineEdit::textChanged, this, [this](const QString& text) {
        QByteArray searched;
        if (surnameEdited_ && typed_text::ToSearched(text, searched) &&
            static_cast<std::size_t>(searched.size()) > kSurnameMax) {
            typed_text::Say(*surname_, QStringLiteral("Only the first %1 letters are searched; Find Surname "
                                                      "(Ctrl+F) finds longer surnames.")
                                           .arg(kSurnameMax));
        }
        surnameEdited_ = false;
    });

    databaseList_ = new QComboBox(&view);
    // Named at once: its accessible interface (see accessibility.h) is chosen by this name
    // when Qt first asks for it, which may be while the list is being filled.
    databaseList_->setObjectName(QStringLiteral("DatabaseList"));
    databaseList_->setEditable(false);
    // The list's rectangle includes the dropped list; the closed box takes its natural height.
    const QRect dropped = kDatabaseListRect.ToQRect();
    const int closedHeight = databaseList_->sizeHint().height();
    databaseList_->setGeometry(dropped.x(), dropped.y(), dropped.width(), closedHeight);
    const int itemHeight = std::max(1, view.fontMetrics().height() + 4);
    databaseList_->setMaxVisibleItems(std::max(1, (dropped.height() - closedHeight) / itemHeight));
    for (int row = 0; catalogue::kListTexts[row][0] != '\0'; ++row) {
        databaseList_->addItem(cp1252::ToQString(catalogue::kListTexts[row]));
    }
    databaseList_->setCurrentIndex(0);
    Identify(*databaseList_, kIdDatabaseList, "DatabaseList");
    keys.Watch(*databaseList_);
    databaseList_->setAccessibleName(QStringLiteral("Database"));
}

int CSearchForm::DatabaseRow() const { return databaseList_->currentIndex(); }

bool CSearchForm::ReadFirstName(std::string& out) const {
    QByteArray typed;
    if (!typed_text::Read(*firstName_, typed)) return false;
    out = Bounded(typed, kFirstNameMax);
    return true;
}

void CSearchForm::Submit() {
    // A character without a letter to be searched as is refused at the box, and nothing is searched.
    QByteArray typed;
    if (!typed_text::Read(*surname_, typed)) return;
    SearchRequest request;
    request.row = DatabaseRow();
    request.surname = Bounded(typed, kSurnameMax);
    // Without a surname there is nothing to search, and the first name is not read.
    if (!request.surname.empty() && !ReadFirstName(request.firstName)) return;
    emit searchRequested(request);
}

bool CSearchForm::SubmitListed(int code, const std::string& surname) {
    const int row = catalogue::RowOfCode(code);
    if (row < 0) return false;
    databaseList_->setCurrentIndex(row);
    // The edit holds 20 characters; the search takes the surname whole.
    surname_->setText(cp1252::ToQString(surname.c_str()));
    SearchRequest request;
    request.row = row;
    request.surname = surname;
    request.listed = true;
    if (ReadFirstName(request.firstName)) emit searchRequested(request);
    return true;
}

void CSearchForm::Clear() {
    surname_->clear();
    firstName_->clear();
}

void CSearchForm::ShowNameVariants(bool on) {
    // Nothing on the window shows the option; a screen reader hears it in the box it widens.
    firstName_->setAccessibleDescription(on ? QStringLiteral("Name variants are matched too.") : QString());
}
