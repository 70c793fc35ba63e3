#pragma once
// CChronaraView: the view the frame creates. Adds the edit boxes' creation,
// the database list, the selection of result rows by mouse, the double
// click that opens More Info, and the search itself.

#include "ui/find_surname_dlg.h"
#include "ui/view_view.h"

class QComboBox;

class CChronaraView : public CViewView {
    Q_OBJECT
public:
    CChronaraView(const CViewDoc& doc, const CDirectories& dirs, QWidget* parent);
    ~CChronaraView() override;

    void OnInitialUpdate() override;
    void DoSearch(const char* surname) override;
    // The Find Surname dialog; the match taken goes into the database list
    // and the surname edit, and is searched as the Search button searches.
    void OnFindSurname() override;

    void OnLButtonDown(const QPoint& point);
    void OnLButtonDblClk(const QPoint& point);

    QComboBox* DatabaseList() const { return databaseList_; }

protected:
    int OnCreate() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QComboBox* databaseList_ = nullptr;
    // The dialog's matching and scope, from one opening to the next.
    CFindSurnameDlg::Choices findChoices_;
};
