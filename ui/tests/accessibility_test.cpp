// What screen readers get through Qt's accessibility interfaces: the names,
// roles, states and shortcuts of the controls, the count line and the
// result list that the view paints itself, and the events that tell of
// their changes.

#include <gtest/gtest.h>

#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
// Qt reports accessibility events only while a screen reader listens; the
// platform interface's switch stands in for one.
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include "browse/session/result_pager.h"
#include "ui/app/main_frame.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/count_line.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

struct SeenEvent {
    QAccessible::Event type;
    QObject* object;
    int child;
    QString inserted;
};

std::vector<SeenEvent>* seenEvents = nullptr;

void RecordEvent(QAccessibleEvent* event) {
    if (seenEvents == nullptr) return;
    SeenEvent seen{event->type(), event->object(), event->child(), QString()};
    if (event->type() == QAccessible::TextUpdated) {
        seen.inserted = static_cast<QAccessibleTextUpdateEvent*>(event)->textInserted();
    }
    seenEvents->push_back(seen);
}

class AccessibilityTest : public ViewerTest {
protected:
    void SetUp() override {
        StartViewer();
        seenEvents = &events_;
        previousHandler_ = QAccessible::installUpdateHandler(RecordEvent);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    }
    void TearDown() override {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
        QAccessible::installUpdateHandler(previousHandler_);
        seenEvents = nullptr;
    }
    static QAccessibleInterface* Of(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
    QAccessibleInterface* ListInterface() const { return Of(View()->ResultList()); }
    QAccessibleInterface* CountInterface() const { return Of(View()->CountLine()); }
    // Whether an event of type reached object (at child, when child >= 0) since the last Take.
    bool Saw(QAccessible::Event type, QObject* object, int child = -1) const {
        for (const SeenEvent& event : events_) {
            if (event.type == type && event.object == object && (child < 0 || event.child == child))
                return true;
        }
        return false;
    }
    QString SeenInsertedText(QObject* object) const {
        for (const SeenEvent& event : events_) {
            if (event.type == QAccessible::TextUpdated && event.object == object) return event.inserted;
        }
        return QString();
    }
    void Press(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

    std::vector<SeenEvent> events_;
    QAccessible::UpdateHandler previousHandler_ = nullptr;
};

TEST_F(AccessibilityTest, ControlsHaveTheirLabelsAsNamesAndTheirShortcuts) {
    struct Expected {
        QWidget* widget;
        QAccessible::Role role;
        const char* name;
        const char* shortcut;  // of the press action; empty for none
        bool enabled;
    };
    const std::vector<Expected> controls = {
        {Surname(), QAccessible::EditableText, "Last Name", "", true},
        {FirstName(), QAccessible::EditableText, "First Name", "", true},
        {DatabaseList(), QAccessible::ComboBox, "Database", "", true},
        {Button(kIdSearch), QAccessible::Button, "Search", "Alt+S", true},
        {Button(kIdClear), QAccessible::Button, "Clear", "Alt+C", true},
        {Button(kIdMoreInfo), QAccessible::Button, "More Info", "Alt+M", false},
        {Arrow(kIdPrev), QAccessible::Button, "Prev", "", false},
        {Arrow(kIdNext), QAccessible::Button, "Next", "", false},
        {Button(kIdHelp), QAccessible::Button, "Help", "F1", true},
        {Button(kIdQuit), QAccessible::Button, "Quit", "Alt+Q", true},
    };
    for (const Expected& expected : controls) {
        SCOPED_TRACE(expected.name);
        QAccessibleInterface* iface = Of(expected.widget);
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), expected.role);
        EXPECT_EQ(iface->text(QAccessible::Name), QLatin1String(expected.name));
        EXPECT_EQ(iface->state().disabled, !expected.enabled);
        if (expected.role == QAccessible::ComboBox) {
            EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("Confederate Generals"));
            EXPECT_EQ(iface->childCount(), 1) << "the dropped list";
        }
        if (expected.role == QAccessible::Button) {
            QAccessibleActionInterface* actions = iface->actionInterface();
            ASSERT_NE(actions, nullptr);
            const QStringList keys = actions->keyBindingsForAction(QAccessibleActionInterface::pressAction());
            EXPECT_EQ(keys.value(0), QLatin1String(expected.shortcut));
        }
    }

    // Next tells when it becomes enabled.
    Search("smith");
    EXPECT_FALSE(Of(Arrow(kIdNext))->state().disabled);
    EXPECT_TRUE(Saw(QAccessible::StateChanged, Arrow(kIdNext)));
}

TEST_F(AccessibilityTest, CountLineIsANamedTextThatTellsOfEachSearchAndPageTurn) {
    QAccessibleInterface* count = CountInterface();
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->role(), QAccessible::StaticText);
    EXPECT_EQ(count->text(QAccessible::Name), QStringLiteral("0 records found."));
    EXPECT_TRUE(count->state().readOnly);
    EXPECT_EQ(count->parent()->object(), View()) << "reachable in the window's tree";
    EXPECT_EQ(count->rect(),
              QRect(View()->mapToGlobal(kCountArea.ToQRect().topLeft()), kCountArea.ToQRect().size()));

    struct Step {
        const char* action;
        const char* text;
        const char* page;
        bool textChanges;
    };
    const std::vector<Step> steps = {
        {"search", "23 records found.", "Page 1 of 3", true},
        {"next", "23 records found.", "Page 2 of 3", false},
        {"next", "23 records found.", "Page 3 of 3", false},
        {"prev", "23 records found.", "Page 2 of 3", false},
        {"clear", "0 records found.", "", true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.action) + " " + step.page);
        events_.clear();
        const QString action = QLatin1String(step.action);
        if (action == QLatin1String("search")) Search("smith");
        if (action == QLatin1String("next")) QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
        if (action == QLatin1String("prev")) QTest::mouseClick(Arrow(kIdPrev), Qt::LeftButton);
        if (action == QLatin1String("clear")) QTest::mouseClick(Button(kIdClear), Qt::LeftButton);
        EXPECT_EQ(count->text(QAccessible::Name), QLatin1String(step.text));
        EXPECT_EQ(count->text(QAccessible::Description), QLatin1String(step.page));
        ASSERT_NE(count->textInterface(), nullptr);
        EXPECT_EQ(count->textInterface()->text(0, count->textInterface()->characterCount()),
                  QLatin1String(step.text));
        EXPECT_TRUE(Saw(QAccessible::DescriptionChanged, View()->CountLine()));
        EXPECT_EQ(Saw(QAccessible::NameChanged, View()->CountLine()), step.textChanges);
        EXPECT_EQ(SeenInsertedText(View()->CountLine()),
                  step.textChanges ? QLatin1String(step.text) : QString());
    }
}

TEST_F(AccessibilityTest, ResultListHasAnItemPerRowWithItsTextAndSelection) {
    QAccessibleInterface* list = ListInterface();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("Search results"));
    EXPECT_EQ(list->childCount(), 0);
    EXPECT_EQ(list->parent()->object(), View());

    Search("lee");
    for (int row = 0; row < 3; ++row) EXPECT_TRUE(Saw(QAccessible::ObjectCreated, View()->ResultList(), row));
    ASSERT_EQ(list->childCount(), 3);
    EXPECT_EQ(list->text(QAccessible::Description), QStringLiteral("3 records found. Page 1 of 1"));
    const QString summary0 = QString::fromLatin1(View()->Pager()->Row(0).summary);
    const QString summary1 = QString::fromLatin1(View()->Pager()->Row(1).summary);
    const QString texts[3] = {
        QStringLiteral("LEE, Robert Edward, ") + summary0,
        QStringLiteral("LEE, ") + summary1,  // no given names
        QStringLiteral("LEE, Fitzhugh, ") + QString::fromLatin1(View()->Pager()->Row(2).summary)};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        QAccessibleInterface* item = list->child(row);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->role(), QAccessible::ListItem);
        EXPECT_EQ(item->text(QAccessible::Name), texts[row]);
        EXPECT_EQ(item->parent(), list);
        EXPECT_EQ(list->indexOfChild(item), row);
        EXPECT_TRUE(item->state().selectable);
        EXPECT_FALSE(item->state().selected);
        EXPECT_EQ(list->childAt(item->rect().center().x(), item->rect().center().y()), item);
    }
    EXPECT_EQ(list->child(3), nullptr);

    // The keyboard selects: the rows tell of it and the new one has the focus.
    events_.clear();
    View()->ResultList()->setFocus();
    Press(Qt::Key_Down);
    EXPECT_TRUE(list->child(0)->state().selected);
    EXPECT_TRUE(list->child(0)->state().focused);
    EXPECT_EQ(list->focusChild(), list->child(0));
    EXPECT_TRUE(Saw(QAccessible::Selection, View()->ResultList(), 0));
    EXPECT_TRUE(Saw(QAccessible::Focus, View()->ResultList(), 0));
    events_.clear();
    Press(Qt::Key_End);
    EXPECT_FALSE(list->child(0)->state().selected);
    EXPECT_TRUE(list->child(2)->state().selected);
    EXPECT_TRUE(Saw(QAccessible::SelectionRemove, View()->ResultList(), 0));
    EXPECT_TRUE(Saw(QAccessible::Selection, View()->ResultList(), 2));

    // So does a click, and the row's press action selects as a click does.
    events_.clear();
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 249 + TextHeight() + 1));
    EXPECT_TRUE(Saw(QAccessible::Selection, View()->ResultList(), 1));
    list->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(View()->SelectedRow(), 0);

    // Clear: no items; the ids of the rows stay for the next search.
    QAccessibleInterface* first = list->child(0);
    QTest::mouseClick(Button(kIdClear), Qt::LeftButton);
    EXPECT_EQ(list->childCount(), 0);
    EXPECT_FALSE(first->isValid());
    Search("smith");
    EXPECT_EQ(list->childCount(), 10);
    EXPECT_EQ(list->child(0), first);
    EXPECT_TRUE(first->text(QAccessible::Name).startsWith(QStringLiteral("SMITH, John Henry, ")));
    events_.clear();
    QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    EXPECT_TRUE(Saw(QAccessible::NameChanged, View()->ResultList(), 9)) << "a new page: new texts";
}

TEST_F(AccessibilityTest, MoreInfoTellsTheRecordAsItsDescriptionWithTheFocusOnOk) {
    Search("lee");
    View()->SelectRow(2);
    QString description;
    QString record;
    bool okFocused = false;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* dialog = qobject_cast<CMoreInfoDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        description = Of(dialog)->text(QAccessible::Description);
        record = dialog->TextBox()->toPlainText();
        okFocused = dialog->focusWidget() == dialog->OkButton();
    });
    QTest::mouseClick(Button(kIdMoreInfo), Qt::LeftButton);
    ASSERT_TRUE(watcher.Fired());
    EXPECT_FALSE(record.isEmpty());
    EXPECT_EQ(description, record);
    EXPECT_TRUE(okFocused);
}

}  // namespace
}  // namespace ui_test
