#pragma once
// CIndexingLine: the line of Find in Records that says which databases
// are left out of the answers while their word index is made (with its
// progress and a Cancel button), or which were left out as the making was
// cancelled (with a button that makes them). Hidden while none is.

#include <vector>

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class CIndexingLine : public QWidget {
    Q_OBJECT
public:
    explicit CIndexingLine(QWidget* parent);

    // The databases of the last answer whose index is being made, and
    // those whose making was cancelled.
    void Show(const std::vector<int>& waiting, const std::vector<int>& declined);
    // The index of code is made to done of total; waiting: how many after it.
    void Progress(int code, qint64 done, qint64 total, int waiting);
    bool Waits(int code) const;

    QLabel* Label() const { return label_; }
    QProgressBar* Bar() const { return bar_; }
    QPushButton* Button() const { return button_; }

signals:
    void cancelRequested();
    void makeRequested();

private:
    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* button_;
    std::vector<int> waiting_;
};
