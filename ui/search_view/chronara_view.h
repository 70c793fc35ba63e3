#pragma once
// CChronaraView: the view the frame creates. Adds the edit boxes' creation,
// the database list, the selection of result rows by mouse, the double
// click that opens More Info, and the search itself.

#include <memory>
#include <string>

#include "ui/find_records/find_records_dlg.h"
#include "ui/find_surname/find_surname_dlg.h"
#include "ui/search_view/view_view.h"

class QComboBox;

class CChronaraView : public CViewView {
    Q_OBJECT
public:
    CChronaraView(const CViewDoc& doc, const CDirectories& dirs, QWidget* parent);
    ~CChronaraView() override;

    void OnInitialUpdate() override;
    void DoSearch(const char* surname) override;
    // The Find Surname dialog; the match taken is searched (SearchListedSurname).
    void OnFindSurname() override;
    // The Find in Records dialog; the person it shows in the main window is
    // searched by their surname alone (the first-name edit is emptied, so
    // that they are among the people listed) and selected on their page.
    void OnFindRecords() override;
    // The search of a surname a listing found in database code's index: the
    // database list shows the database, the surname edit as much of the
    // surname as it holds, and the whole surname is searched, with the
    // first-name edit's filter, as the Search button searches. False when
    // the list has no row for code.
    bool SearchListedSurname(int code, const std::string& surname);
    // A close spelling offered after a search that found nobody, searched
    // as a surname a listing found (SearchListedSurname).
    void SearchSpelling(const ListedSurname& spelling) override;

    void OnLButtonDown(const QPoint& point);
    void OnLButtonDblClk(const QPoint& point);

    QComboBox* DatabaseList() const { return databaseList_; }
    // Find in Records' searches, made with the first use.
    CRecordFinder& RecordFinder();

protected:
    int OnCreate() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // The first-name edit's text as searched (at most 250 characters) into
    // out (256 bytes); false after its refusal was said at the edit.
    bool ReadFirstName(char* out);

    QComboBox* databaseList_ = nullptr;
    // The dialog's matching and scope, from one opening to the next.
    CFindSurnameDlg::Choices findChoices_;
    // Find in Records' query and choices, and its searches, with the
    // indexes they opened, from one opening to the next.
    CFindRecordsDlg::Choices recordsChoices_;
    std::unique_ptr<CRecordFinder> finder_;
};
