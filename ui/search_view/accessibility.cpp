// The result list, the close spellings, the count lines and the named
// choices for screen readers. The rows and the names are not widgets: each is an item
// interface of its own, kept by the list's interface for as long as the
// list lives, so that its id stays the same from page to page; its text and
// state are read from the list each time they are asked for.

#include "ui/search_view/accessibility.h"

#include <vector>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QStringList>
#include <QWindow>

#include "browse/session/result_pager.h"
#include "ui/search_view/count_line.h"
#include "ui/search_view/offer_line.h"
#include "ui/search_view/result_list.h"

namespace accessibility {

namespace {

// What the item interfaces read of the two painted lists: their items'
// count, names, places and current item, and what pressing an item does.
int ItemCount(const CResultList& list) { return list.Rows(); }
QString ItemName(const CResultList& list, int row) {
    const QString name = list.WholeRow(row);
    const bool seen = row >= 0 && row < list.Rows() && list.Page().rows[row].seen;
    return seen ? name + QStringLiteral(", seen before") : name;
}
QRect ItemScreenRect(const CResultList& list, int row) {
    const QRect rect = list.RowRegion(row).boundingRect();
    return QRect(list.parentWidget()->mapToGlobal(rect.topLeft()), rect.size());
}
int CurrentItem(const CResultList& list) { return list.SelectedRow(); }
// Press selects the row, as a click does; set focus also puts the keyboard in the list.
void PressItem(CResultList& list, int row) { list.SelectRow(row); }
void FocusItem(CResultList& list, int row) {
    list.setFocus(Qt::OtherFocusReason);
    list.SelectRow(row);
}
// The count and the page, for the moment the list gets the focus.
QString ItemsDescription(const CResultList& list) {
    return list.Page().CountText() + QLatin1Char(' ') + list.Page().PageText();
}

int ItemCount(const COfferLine& hint) { return hint.Count(); }
QString ItemName(const COfferLine& hint, int i) { return hint.ItemName(i); }
QRect ItemScreenRect(const COfferLine& hint, int i) {
    const QRect rect = hint.ItemRect(i);
    return QRect(hint.mapToGlobal(rect.topLeft()), rect.size());
}
int CurrentItem(const COfferLine& hint) { return hint.Current(); }
// Press takes the offer, as a click does; set focus makes it current.
void PressItem(COfferLine& hint, int i) {
    hint.SetCurrent(i);
    emit hint.offerChosen(i);
}
void FocusItem(COfferLine& hint, int i) {
    hint.setFocus(Qt::OtherFocusReason);
    hint.SetCurrent(i);
}
QString ItemsDescription(const COfferLine& hint) { return hint.Text(); }

// An item of a painted list: a row of the result list, an offer after a search that found nobody.
template <class List>
class PaintedItemInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PaintedItemInterface(List* list, int item) : list_(list), item_(item) {}

    bool isValid() const override { return !list_.isNull() && item_ < ItemCount(*list_); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list_.isNull() ? nullptr : list_->window()->windowHandle(); }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(list_); }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid()) return QString();
        return ItemName(*list_, item_);
    }

    QRect rect() const override { return isValid() ? ItemScreenRect(*list_, item_) : QRect(); }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invisible = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        if (CurrentItem(*list_) == item_) {
            state.selected = true;
            state.focused = list_->hasFocus();
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& action) override {
        if (!isValid()) return;
        if (action == setFocusAction()) FocusItem(*list_, item_);
        if (action == pressAction()) PressItem(*list_, item_);
    }
    QStringList keyBindingsForAction(const QString& /*action*/) const override { return {}; }

private:
    QPointer<List> list_;
    int item_;
};

// A painted list: its items are interfaces of their own, kept for as long
// as the list lives, so that an item's id stays the same from page to page.
template <class List>
class PaintedListInterface : public QAccessibleWidget {
public:
    explicit PaintedListInterface(List* list) : QAccessibleWidget(list, QAccessible::List) {}
    ~PaintedListInterface() override {
        for (QAccessible::Id id : itemIds_) {
            if (id != 0) QAccessible::deleteAccessibleInterface(id);
        }
    }

    List* Items() const { return static_cast<List*>(widget()); }

    int childCount() const override { return ItemCount(*Items()); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        if (itemIds_.size() <= static_cast<std::size_t>(index))
            itemIds_.resize(static_cast<std::size_t>(index) + 1);
        QAccessible::Id& id = itemIds_[static_cast<std::size_t>(index)];
        if (id == 0)
            id = QAccessible::registerAccessibleInterface(new PaintedItemInterface<List>(Items(), index));
        return QAccessible::accessibleInterface(id);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount() && static_cast<std::size_t>(i) < itemIds_.size(); ++i) {
            if (itemIds_[static_cast<std::size_t>(i)] != 0 && this->child(i) == child) return i;
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (ItemScreenRect(*Items(), i).contains(x, y)) return child(i);
        }
        return nullptr;
    }

    QAccessibleInterface* focusChild() const override {
        return Items()->hasFocus() ? child(CurrentItem(*Items())) : nullptr;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description) return ItemsDescription(*Items());
        return QAccessibleWidget::text(t);
    }

private:
    mutable std::vector<QAccessible::Id> itemIds_;
};

// A line of text that screen readers hear change (a live region): its
// text through the text interface, read-only and without a caret, so that
// the text-changed events of accessible_events::TextChanged reach them.
class LiveLineInterface : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LiveLineInterface(QWidget* line) : QAccessibleWidget(line, QAccessible::StaticText) {}

    virtual QString Line() const = 0;

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return Line();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    void selection(int /*index*/, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int /*start*/, int /*end*/) override {}
    void removeSelection(int /*index*/) override {}
    void setSelection(int /*index*/, int /*start*/, int /*end*/) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    QString text(int start, int end) const override { return Line().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(Line().size()); }
    QRect characterRect(int offset) const override {
        const QString line = Line();
        if (offset < 0 || offset >= line.size()) return QRect();
        const QFontMetrics metrics(widget()->font());
        const int left = metrics.horizontalAdvance(line.left(offset));
        const QRect local(left, 0, metrics.horizontalAdvance(line.at(offset)), metrics.height());
        return QRect(widget()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*start*/, int /*end*/) override {}
    QString attributes(int /*offset*/, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return QString();
    }
};

// The main window's count line, as it is painted, with the page as its description.
class CountLineInterface : public LiveLineInterface {
public:
    explicit CountLineInterface(CCountLine* line) : LiveLineInterface(line) {}

    QString Line() const override { return static_cast<const CCountLine*>(widget())->Text(); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description) return static_cast<const CCountLine*>(widget())->Page();
        return LiveLineInterface::text(t);
    }
};

// Find in Records' count line, and the line that says what went wrong.
class CountLabelInterface : public LiveLineInterface {
public:
    explicit CountLabelInterface(QLabel* label) : LiveLineInterface(label) {}

    QString Line() const override { return static_cast<const QLabel*>(widget())->text(); }
};

// On Linux Qt names a combo box by its current item and leaves the name
// proper to a label widget; the database list's label is painted in the
// backdrop, so the list carries its name itself, with the item as its value.
// The choices of Find Surname and Find in Records are named the same way.
// The AT-SPI bridge carries no value of a combo box, so the item is its
// description too, told when it changes.
class NamedComboInterface : public QAccessibleWidget {
public:
    explicit NamedComboInterface(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {
        // The interface lives as long as the combo box.
        QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [combo]() {
            QAccessibleEvent changed(combo, QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&changed);
        });
    }

    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return Combo()->currentText();
        if (t == QAccessible::Name && Combo()->accessibleName().isEmpty()) return Combo()->currentText();
        if (t == QAccessible::Description && Combo()->accessibleDescription().isEmpty())
            return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }

    // The dropped list is the one child, as with Qt's own combo boxes.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(Combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == Combo()->view() ? 0 : -1;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = Combo()->view()->isVisible();
        state.hasPopup = true;
        return state;
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction()) {
            Combo()->showPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    const QString name = object->objectName();
    if (className == QLatin1String("QComboBox") &&
        (name == QLatin1String("DatabaseList") || name == QLatin1String("FindMatching") ||
         name == QLatin1String("FindScope") || name == QLatin1String("RecordsField") ||
         name == QLatin1String("RecordsScope"))) {
        if (auto* combo = qobject_cast<QComboBox*>(object)) return new NamedComboInterface(combo);
    }
    if (className == QLatin1String("CResultList")) {
        if (auto* list = qobject_cast<CResultList*>(object))
            return new PaintedListInterface<CResultList>(list);
    }
    // The close spellings and the other offers (CSpellingHint is one).
    if (className == QLatin1String("COfferLine")) {
        if (auto* hint = qobject_cast<COfferLine*>(object)) return new PaintedListInterface<COfferLine>(hint);
    }
    if (className == QLatin1String("CCountLine")) {
        if (auto* line = qobject_cast<CCountLine*>(object)) return new CountLineInterface(line);
    }
    if (className == QLatin1String("QLabel") &&
        (name == QLatin1String("RecordsCount") || name == QLatin1String("RecordsProblem") ||
         name == QLatin1String("FindCount"))) {
        if (auto* label = qobject_cast<QLabel*>(object)) return new CountLabelInterface(label);
    }
    return nullptr;
}

}  // namespace

void Install() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(Factory);
}

}  // namespace accessibility
