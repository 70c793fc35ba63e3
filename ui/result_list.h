#pragma once
// CResultList: the result list as a control of its own, for the keyboard and
// for screen readers. The view paints the rows; this transparent child over
// the list area paints only a dotted frame while it has the focus, and lets
// the mouse through to the view, so clicks work as they always have. It is
// a Tab stop, after the other controls, while the page has rows; its keys
// go to the view (CViewView::OnListKey).

#include <QWidget>

class CViewView;

class CResultList : public QWidget {
    Q_OBJECT
public:
    explicit CResultList(CViewView* view);

    CViewView* View() const { return view_; }
    // A Tab stop only while there are rows; a list that empties while it
    // has the focus hands the focus back to the view's rule.
    void SetHasRows(bool hasRows);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    CViewView* view_;
};
