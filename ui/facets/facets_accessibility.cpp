#include "ui/facets/facets_accessibility.h"

#include <vector>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include "ui/facets/facet_bars.h"
#include "ui/facets/years_histogram.h"

namespace facets_accessibility {

namespace {

QRect OnScreen(const QWidget& widget, const QRect& rect) {
    return QRect(widget.mapToGlobal(rect.topLeft()), rect.size());
}

// An item interface's access to a painted list of bars.
void PressItem(CFacetBars& bars, int i) { bars.Choose(i); }
void PressItem(CYearsHistogram& years, int i) { years.Choose(i, i); }
bool IsSelected(const CFacetBars& bars, int i) { return bars.Current() == i; }
bool IsSelected(const CYearsHistogram& years, int i) {
    return i >= years.SpanFirst() && i <= years.SpanLast();
}

template <class Bars>
class BarInterface : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    BarInterface(Bars* bars, int item) : bars_(bars), item_(item) {}

    bool isValid() const override { return !bars_.isNull() && item_ < bars_->Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return bars_.isNull() ? nullptr : bars_->window()->windowHandle(); }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(bars_); }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? bars_->ItemName(item_) : QString();
    }
    QRect rect() const override { return isValid() ? OnScreen(*bars_, bars_->ItemRect(item_)) : QRect(); }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invisible = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        state.selected = IsSelected(*bars_, item_);
        state.focused = bars_->Current() == item_ && bars_->hasFocus();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& action) override {
        if (!isValid()) return;
        if (action == setFocusAction()) {
            bars_->setFocus(Qt::OtherFocusReason);
            bars_->SetCurrent(item_);
        }
        if (action == pressAction()) PressItem(*bars_, item_);
    }
    QStringList keyBindingsForAction(const QString& /*action*/) const override { return {}; }

private:
    QPointer<Bars> bars_;
    int item_;
};

// The list: its items kept for as long as it lives, so that their ids stay.
template <class Bars>
class BarsInterface : public QAccessibleWidget {
public:
    explicit BarsInterface(Bars* bars) : QAccessibleWidget(bars, QAccessible::List) {}
    ~BarsInterface() override {
        for (QAccessible::Id id : ids_) {
            if (id != 0) QAccessible::deleteAccessibleInterface(id);
        }
    }
    Bars* Items() const { return static_cast<Bars*>(widget()); }
    int childCount() const override { return Items()->Count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        if (ids_.size() <= static_cast<std::size_t>(index)) ids_.resize(static_cast<std::size_t>(index) + 1);
        QAccessible::Id& id = ids_[static_cast<std::size_t>(index)];
        if (id == 0) id = QAccessible::registerAccessibleInterface(new BarInterface<Bars>(Items(), index));
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount() && static_cast<std::size_t>(i) < ids_.size(); ++i) {
            if (ids_[static_cast<std::size_t>(i)] != 0 && this->child(i) == child) return i;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            if (OnScreen(*Items(), Items()->ItemRect(i)).contains(x, y)) return child(i);
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        return Items()->hasFocus() ? child(Items()->Current()) : nullptr;
    }

private:
    mutable std::vector<QAccessible::Id> ids_;
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("CFacetBars")) {
        if (auto* bars = qobject_cast<CFacetBars*>(object)) return new BarsInterface<CFacetBars>(bars);
    }
    if (className == QLatin1String("CYearsHistogram")) {
        if (auto* years = qobject_cast<CYearsHistogram*>(object))
            return new BarsInterface<CYearsHistogram>(years);
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

}  // namespace facets_accessibility
