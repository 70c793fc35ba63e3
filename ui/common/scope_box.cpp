#include "ui/common/scope_box.h"

#include "store/catalogue.h"
#include "ui/common/database_title.h"

CScopeBox::CScopeBox(QWidget* parent, const QString& objectName, int chosenCode, Scope scope)
    : QComboBox(parent), chosenCode_(chosenCode) {
    setObjectName(objectName);
    setAccessibleName(QStringLiteral("Look in"));
    addItem(QStringLiteral("Only %1").arg(DatabaseTitle(chosenCode_)),
            static_cast<int>(Scope::ChosenDatabase));
    addItem(QStringLiteral("All databases"), static_cast<int>(Scope::AllDatabases));
    setCurrentIndex(scope == Scope::AllDatabases ? 1 : 0);
}

void CScopeBox::ChooseDatabase(int code) {
    chosenCode_ = code;
    setItemText(0, QStringLiteral("Only %1").arg(DatabaseTitle(chosenCode_)));
    setCurrentIndex(0);
}

CScopeBox::Scope CScopeBox::Chosen() const { return static_cast<Scope>(currentData().toInt()); }

std::vector<int> CScopeBox::Codes() const {
    if (Chosen() == Scope::AllDatabases) return catalogue::EveryDatabase();
    return chosenCode_ != 0 ? std::vector<int>{chosenCode_} : std::vector<int>{};
}

QString CScopeBox::Title() const {
    return Chosen() == Scope::AllDatabases ? QStringLiteral("all databases") : DatabaseTitle(chosenCode_);
}
