#include "ui/common/view_menus.h"

#include <QAction>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QVariant>

namespace view_menus {
namespace {

// The property that marks a menu entry with its command.
constexpr char kMenuCommand[] = "menuCommand";

QAction* AddCommand(QMenu& menu, const QString& text, const QKeySequence& shortcut, MenuCommand command,
                    bool enabled) {
    QAction* action = menu.addAction(text);
    action->setProperty(kMenuCommand, static_cast<int>(command));
    action->setEnabled(enabled);
    // Shown beside the entry; the key itself works in the window (CommandOfKey,
    // which matches the same standard keys).
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutVisibleInContextMenu(true);
    }
    return action;
}

// Copy citation's key: Copy's, with Shift.
QKeySequence CitationKey() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C); }

// In the result list's menu and More Info's.
void AddCitation(QMenu& menu, bool enabled) {
    AddCommand(menu, QStringLiteral("Copy c&itation"), CitationKey(), MenuCommand::CopyCitation, enabled);
}

// Find in Records' key: Find's, with Shift.
QKeySequence FindRecordsKey() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F); }

// Show in Main Window's key: Enter, which opens More Info, with Ctrl.
QKeySequence ShowKey() { return QKeySequence(Qt::CTRL | Qt::Key_Return); }

// The Research Log's key.
QKeySequence ResearchLogKey() { return QKeySequence(Qt::CTRL | Qt::Key_L); }

// In every menu of the main window.
void AddFinders(QMenu& menu) {
    AddCommand(menu, QStringLiteral("&Find Surname\u2026"), QKeySequence(QKeySequence::Find),
               MenuCommand::FindSurname, true);
    AddCommand(menu, QStringLiteral("Find in Recor&ds\u2026"), FindRecordsKey(), MenuCommand::FindRecords,
               true);
    AddCommand(menu, QStringLiteral("Research &Log\u2026"), ResearchLogKey(), MenuCommand::ResearchLog, true);
}

void AddSavePerson(QMenu& menu, bool enabled) {
    AddCommand(menu, QStringLiteral("Sa&ve person\u2026"), QKeySequence(QKeySequence::Save),
               MenuCommand::SavePerson, enabled);
}

// Copy, export and print, in the result list's menu and Find in Records'.
void AddResultCommands(QMenu& menu, const ListState& state) {
    AddCommand(menu, state.selected ? QStringLiteral("&Copy row") : QStringLiteral("&Copy rows"),
               QKeySequence(QKeySequence::Copy), MenuCommand::CopyRows, state.rows > 0);
    AddCommand(menu, QStringLiteral("Copy &record"), QKeySequence(), MenuCommand::CopyRecord, state.selected);
    AddCitation(menu, state.selected);
    AddSavePerson(menu, state.selected);
    menu.addSeparator();
    AddCommand(menu, QStringLiteral("&Export results\u2026"), QKeySequence(), MenuCommand::ExportResults,
               state.results);
    AddCommand(menu, QStringLiteral("Export record to family &tree (GEDCOM)\u2026"), QKeySequence(),
               MenuCommand::ExportRecordToFamilyTree, state.selected);
    AddCommand(menu, QStringLiteral("Export results to family tree (&GEDCOM)\u2026"), QKeySequence(),
               MenuCommand::ExportResultsToFamilyTree, state.results);
    menu.addSeparator();
    AddCommand(menu, QStringLiteral("&Print record\u2026"), QKeySequence(QKeySequence::Print),
               MenuCommand::PrintRecord, state.selected);
    AddCommand(menu, QStringLiteral("Print re&sults\u2026"), QKeySequence(), MenuCommand::PrintResults,
               state.results);
}

}  // namespace

std::unique_ptr<QMenu> ListMenu(QWidget* parent, const ListState& state) {
    auto menu = std::make_unique<QMenu>(parent);
    menu->setObjectName(QStringLiteral("ResultListMenu"));
    AddFinders(*menu);
    menu->addSeparator();
    AddResultCommands(*menu, state);
    return menu;
}

std::unique_ptr<QMenu> FoundMenu(QWidget* parent, const ListState& state) {
    auto menu = std::make_unique<QMenu>(parent);
    menu->setObjectName(QStringLiteral("FoundPeopleMenu"));
    AddCommand(*menu, QStringLiteral("&More Info"), QKeySequence(Qt::Key_Return), MenuCommand::MoreInfo,
               state.selected);
    AddCommand(*menu, QStringLiteral("Show in Main &Window"), ShowKey(), MenuCommand::ShowInMainWindow,
               state.selected);
    menu->addSeparator();
    AddResultCommands(*menu, state);
    return menu;
}

std::unique_ptr<QMenu> SurnameMenu(QLineEdit& edit) {
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    menu->setObjectName(QStringLiteral("SurnameMenu"));
    menu->addSeparator();
    AddFinders(*menu);
    return menu;
}

std::unique_ptr<QMenu> FirstNameMenu(QLineEdit& edit, bool nameVariants) {
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    menu->setObjectName(QStringLiteral("FirstNameMenu"));
    menu->addSeparator();
    QAction* variants = AddCommand(*menu, QStringLiteral("Match name &variants"), QKeySequence(),
                                   MenuCommand::MatchNameVariants, true);
    variants->setCheckable(true);
    variants->setChecked(nameVariants);
    AddFinders(*menu);
    return menu;
}

std::unique_ptr<QMenu> RecordTextMenu(QPlainTextEdit& text) {
    std::unique_ptr<QMenu> menu(text.createStandardContextMenu());
    menu->setObjectName(QStringLiteral("RecordTextMenu"));
    menu->addSeparator();
    AddCitation(*menu, true);
    AddSavePerson(*menu, true);
    AddCommand(*menu, QStringLiteral("&Print record\u2026"), QKeySequence(QKeySequence::Print),
               MenuCommand::PrintRecord, true);
    return menu;
}

MenuCommand CommandOf(const QAction* action) {
    const QVariant command = action != nullptr ? action->property(kMenuCommand) : QVariant();
    return command.isValid() ? static_cast<MenuCommand>(command.toInt()) : MenuCommand::None;
}

MenuCommand Run(QMenu& menu, const QPoint& globalPos) {
    MenuCommand chosen = MenuCommand::None;
    QObject::connect(&menu, &QMenu::triggered, &menu, [&chosen](QAction* action) {
        const MenuCommand command = CommandOf(action);
        if (command != MenuCommand::None) chosen = command;
    });
    menu.exec(globalPos);
    return chosen;
}

MenuCommand CommandOfKey(const QKeyEvent& key) {
    if (QKeySequence(key.keyCombination()) == CitationKey()) return MenuCommand::CopyCitation;
    if (QKeySequence(key.keyCombination()) == FindRecordsKey()) return MenuCommand::FindRecords;
    if (key.matches(QKeySequence::Find)) return MenuCommand::FindSurname;
    if (key.matches(QKeySequence::Copy)) return MenuCommand::CopyRows;
    // Ctrl+P prints the selected record, as it does in More Info.
    if (key.matches(QKeySequence::Print)) return MenuCommand::PrintRecord;
    if (key.matches(QKeySequence::Save)) return MenuCommand::SavePerson;
    if (QKeySequence(key.keyCombination()) == ResearchLogKey()) return MenuCommand::ResearchLog;
    return MenuCommand::None;
}

MenuCommand FoundCommandOfKey(const QKeyEvent& key) {
    // Enter on the keypad too.
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier && (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter))
        return MenuCommand::ShowInMainWindow;
    const MenuCommand command = CommandOfKey(key);
    switch (command) {
        case MenuCommand::CopyRows:
        case MenuCommand::CopyCitation:
        case MenuCommand::PrintRecord:
        case MenuCommand::SavePerson:
            return command;
        default:
            return MenuCommand::None;
    }
}

}  // namespace view_menus
