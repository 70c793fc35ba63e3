// Text typed into the viewer's boxes: a letter Windows-1252 cannot write is
// searched as the letter it stands on, and the box shows that letter; any
// other such character is refused where it is typed; the viewer searches
// the same bytes as chronara-query for the same text.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QToolTip>

#include "store/catalogue.h"
#include "store/database_writer.h"
#include "ui/common/typed_text.h"
#include "ui/find_surname/find_surname_dlg.h"
#include "ui/find_surname/surname_match_model.h"
#include "ui/search_view/chronara_view.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {
namespace {

constexpr int kCode = 12;

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

class TypedTextTest : public ViewerTest {
protected:
    void SetUp() override {
        CDatabaseWriter writer(kCode);
        std::string error;
        for (const char* surname : {"Walesa", "Stefanescu", "\xD6ry"}) {
            ASSERT_TRUE(writer.Add(PersonRecord{surname, "Lukasz", {"1970", "Private"}}, &error)) << error;
        }
        ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
        StartViewer();
        DatabaseList()->setCurrentIndex(catalogue::RowOfCode(kCode));
    }

    // The tip Qt shows lies within the main window from side to side.
    void ExpectTipWithinTheWindow(const char* typed) {
        const QRect window = View()->window()->geometry();
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() != QLatin1String("qtooltip_label") || !top->isVisible()) continue;
            EXPECT_GE(top->geometry().left(), window.left()) << typed;
            EXPECT_LE(top->geometry().right(), window.right()) << typed;
        }
    }

    // Types text into edit from empty, a key per character (QTest's own typing knows Latin-1 only).
    static void Type(QLineEdit* edit, const char* utf8) {
        edit->setFocus();
        edit->clear();
        for (uint codePoint : QString::fromUtf8(utf8).toUcs4()) {
            const QString text = QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1);
            QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, text, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, text, Qt::NoModifier);
        }
    }
};

TEST_F(TypedTextTest, BoxesShowTheLetterSearchedAndRefuseWhatHasNone) {
    struct Case {
        bool firstName;
        const char* typed;  // UTF-8
        const char* shown;  // what the box holds after
        const char* tip;    // the start of what the user and the screen reader are told; "" for nothing
    };
    // The tip, when there is one, is of the last key.
    const std::vector<Case> cases = {
        {false, "Wałę", "Wale", "ę is searched as e."},
        {false, "Ő", "Ö", "Ő is searched as Ö."},
        {false, "Ștefă", "Stefa", "ă is searched as a."},
        {false, "Müller", "Müller", ""},
        // Decomposed: the mark joins the letter before it, which Windows-1252 has.
        {false, "Jose\u0301", "José", ""},
        {false, "SmЖ", "Sm", "Ж cannot be searched: the records use only Western European letters."},
        {false, "Li李", "Li", "李 cannot be searched"},
        // A mark that makes no letter of the one before it, shown as it stands alone.
        {false, "Sm\u0308", "Sm", "\u25CC\u0308 cannot be searched"},
        {true, "Ł", "L", "Ł is searched as L."},
        {true, "Jaŭ", "Jau", "ŭ is searched as u."},
    };
    for (const Case& c : cases) {
        QLineEdit* edit = c.firstName ? FirstName() : Surname();
        const QString before = typed_text::LastTip(*edit);
        Type(edit, c.typed);
        EXPECT_EQ(Utf8(edit->text()), c.shown) << c.typed;
        const std::string tip = Utf8(typed_text::LastTip(*edit));
        if (c.tip[0] == '\0') {
            EXPECT_EQ(typed_text::LastTip(*edit), before) << c.typed << ": " << tip;
            EXPECT_TRUE(edit->accessibleDescription().isEmpty()) << c.typed;
        } else {
            EXPECT_EQ(tip.rfind(c.tip, 0), 0u) << c.typed << ": " << tip;
            EXPECT_EQ(edit->accessibleDescription(), typed_text::LastTip(*edit)) << c.typed;
            // Shown in lines that end within the window, never past its edge.
            EXPECT_EQ(QToolTip::text().replace(QLatin1Char('\n'), QLatin1Char(' ')),
                      typed_text::LastTip(*edit))
                << c.typed;
            ExpectTipWithinTheWindow(c.typed);
        }
        // Never a '?': the text searched is what the box shows.
        QByteArray searched;
        ASSERT_TRUE(typed_text::ToSearched(edit->text(), searched));
        EXPECT_EQ(searched.indexOf('?'), -1) << c.typed;
    }
    // The next change without a word takes the tip off the box's description.
    QTest::keyClick(FirstName(), Qt::Key_A);
    EXPECT_TRUE(FirstName()->accessibleDescription().isEmpty());
    for (int wait = 0; wait < 250 && QToolTip::isVisible(); ++wait) QTest::qWait(20);  // Qt fades it out
    EXPECT_FALSE(QToolTip::isVisible());

    // Pasted: folded as a whole, the cursor after what was pasted; refused as a whole.
    Type(Surname(), "Wsa");
    Surname()->setCursorPosition(1);
    QApplication::clipboard()->setText(QString::fromUtf8("ałę"));
    QTest::keyClick(Surname(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Surname()->text(), QStringLiteral("Walesa"));
    EXPECT_EQ(Surname()->cursorPosition(), 4);
    EXPECT_EQ(typed_text::LastTip(*Surname()), QString::fromUtf8("ł is searched as l, ę as e."));
    QApplication::clipboard()->setText(QString::fromUtf8("Smile\U0001F600"));
    QTest::keyClick(Surname(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Surname()->text(), QStringLiteral("Walesa"));
    EXPECT_TRUE(typed_text::LastTip(*Surname())
                    .startsWith(QString::fromUtf8("\U0001F600 cannot be searched: the records use only")))
        << Utf8(typed_text::LastTip(*Surname()));

    // A text the program set (typing cannot) is refused at Search, with nothing searched.
    Search("Walesa");
    ASSERT_EQ(View()->RecordCount(), 1);
    Surname()->setText(QString::fromUtf8("Жуков"));
    testing_support::ScriptedResponder boxes;
    QTest::keyClick(Surname(), Qt::Key_Return);
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(View()->RecordCount(), 1);
    EXPECT_TRUE(typed_text::LastTip(*Surname()).contains(QStringLiteral(" cannot be searched: ")));
}

TEST_F(TypedTextTest, FindSurnamesPatternIsSearchedAsTypedNeverWithAWildcardForALetter) {
    // Once "smłth" became "sm?th" and listed SMITH.
    Surname()->setFocus();
    ModalWatcher watcher([](QWidget* modal) {
        auto* dialog = qobject_cast<CFindSurnameDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->ModeBox()->setCurrentIndex(dialog->ModeBox()->findData(static_cast<int>(MatchMode::Pattern)));
        dialog->ScopeBox()->setCurrentIndex(
            dialog->ScopeBox()->findData(static_cast<int>(CFindSurnameDlg::Scope::AllDatabases)));
        struct Case {
            const char* typed;
            const char* shown;
            int matches;
        };
        const Case cases[] = {
            {"smłth", "smlth", 0}, {"sm?th", "sm?th", 1}, {"wał*", "wal*", 1}, {"smЖ", "sm", 0}};
        for (const Case& c : cases) {
            Type(dialog->TextField(), c.typed);
            dialog->Refresh();
            EXPECT_EQ(Utf8(dialog->TextField()->text()), c.shown) << c.typed;
            EXPECT_EQ(dialog->Model()->rowCount(), c.matches) << c.typed;
        }
        EXPECT_TRUE(
            typed_text::LastTip(*dialog->TextField()).contains(QStringLiteral(" cannot be searched: ")));
        dialog->reject();
    });
    QTest::keyClick(Surname(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(watcher.Fired());
}

TEST_F(TypedTextTest, TheViewerAndTheToolFindTheSamePeopleForTheSameText) {
    for (const char* typed : {"Wałęsa", "Ștefănescu", "Őry", "Smith", "Smiтh"}) {
        QProcess query;
        query.start(QStringLiteral(CHRONARA_QUERY_PATH),
                    {"--data-dir", QString::fromStdString(dataDir_), "--install-dir",
                     QString::fromStdString(installDir_), "--database", catalogue::StemOf(kCode), "--surname",
                     QString::fromUtf8(typed)});
        ASSERT_TRUE(query.waitForFinished(60000));
        const QString out = QString::fromUtf8(query.readAllStandardOutput());
        const QString err = QString::fromUtf8(query.readAllStandardError());

        Type(Surname(), typed);
        QByteArray searched;
        if (!typed_text::ToSearched(QString::fromUtf8(typed), searched)) {
            // Refused by both, naming the same character.
            EXPECT_EQ(query.exitCode(), 2) << typed;
            const QString tip = typed_text::LastTip(*Surname());
            // The viewer says it plainly, the tool with the code point; both name the character.
            const QString character = tip.left(tip.indexOf(QStringLiteral(" cannot be searched")));
            EXPECT_FALSE(character.isEmpty()) << Utf8(tip);
            EXPECT_TRUE(err.contains(QStringLiteral("(") + character + QStringLiteral(")")))
                << Utf8(err) << " / " << Utf8(character);
            continue;
        }
        QTest::keyClick(Surname(), Qt::Key_Return);
        EXPECT_EQ(query.exitCode(), 0) << typed << Utf8(err);
        const QStringList lines = out.split(QLatin1Char('\n'));
        EXPECT_EQ(lines.value(0), View()->CountText()) << typed;
        if (View()->RecordCount() > 0) {
            EXPECT_EQ(lines.value(1).section(QLatin1Char('\t'), 0, 1),
                      QString::fromLatin1(View()->RowText(0).c_str()).section(QLatin1Char('\t'), 0, 1))
                << typed;
        }
    }
}

}  // namespace
}  // namespace ui_test
