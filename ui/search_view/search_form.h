#pragma once
// CSearchForm: what the user asks the search view to search. It makes the
// surname edit, the first-name edit and the database list in the view, in
// that order (their Tab order), with their ids, names and text limits,
// guards the edits (typed_text::Guard) and reads them by the rule for typed
// text. It never searches: it emits the search asked for, which the view
// runs.

#include <string>

#include <QObject>

class CDialogKeys;
class QComboBox;
class QLineEdit;
class QWidget;

// A search as the form asks for it.
struct SearchRequest {
    int row = -1;           // the database list's row
    std::string surname;    // typed: at most 19 characters, empty when none was typed
    std::string firstName;  // at most 250 characters; empty: no first-name filter
    // The surname as a listing found it in the index, searched whole
    // (CSearchSession::SearchListed).
    bool listed = false;
};

class CSearchForm : public QObject {
    Q_OBJECT
public:
    // Makes the controls as children of view, each watched by the view's
    // keys before it is guarded: the guard must see every key the view's
    // keyboard takes, to hold its tip until the key is released.
    CSearchForm(QWidget& view, CDialogKeys& keys);

    QLineEdit& Surname() const { return *surname_; }
    QLineEdit& FirstName() const { return *firstName_; }
    QComboBox& DatabaseList() const { return *databaseList_; }
    int DatabaseRow() const;

    // The Search command: the surname (its first 19 characters, so a 20th
    // typed one is dropped), the first name and the database list's row,
    // emitted as searchRequested. A text with a character that cannot be
    // searched is refused at its box, and nothing is emitted.
    void Submit();
    // A surname a listing found in database code's index: the database list
    // shows its database, the surname edit as much of it as it holds, and
    // the whole surname is emitted with the first-name edit's text. False
    // when the list has no row for code.
    bool SubmitListed(int code, const std::string& surname);
    // Clear: both edits emptied; the database list keeps its row.
    void Clear();
    // The first-name edit tells screen readers whether name variants are matched.
    void ShowNameVariants(bool on);

signals:
    void searchRequested(const SearchRequest& request);

private:
    // The first-name edit's text as searched (at most 250 characters); false
    // after its refusal was said at the edit.
    bool ReadFirstName(std::string& out) const;

    QLineEdit* surname_ = nullptr;
    QLineEdit* firstName_ = nullptr;
    QComboBox* databaseList_ = nullptr;
    // The surname's change under way is the user's (typed or pasted).
    bool surnameEdited_ = false;
};
