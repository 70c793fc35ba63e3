#pragma once
// CScopeBox: a finder's "Look in" box: only the database chosen in the
// main window's list, or all databases. What it holds is the Scope as an
// int, so that a caller finds an entry by its data.

#include <vector>

#include <QComboBox>
#include <QString>

class CScopeBox : public QComboBox {
public:
    enum class Scope { ChosenDatabase, AllDatabases };

    // chosenCode: the database of the window's list (0: none). Named at
    // once: screen readers' interface for the box is chosen by its name.
    CScopeBox(QWidget* parent, const QString& objectName, int chosenCode, Scope scope);

    Scope Chosen() const;
    // Looks only in database code from now on (a facet's database clicked).
    void ChooseDatabase(int code);
    // The databases looked in, in list-row order.
    std::vector<int> Codes() const;
    // Where it looks, as a heading names it: "all databases" or the chosen database's title.
    QString Title() const;

private:
    int chosenCode_;
};
