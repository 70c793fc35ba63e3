// The More Info dialog: opened by the button and by a double click, its
// title and text, its layout, and the guard that opens it only for a row
// the page holds.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "browse/session/result_pager.h"
#include "platform/message_box.h"
#include "store/catalogue.h"
#include "store/database_writer.h"
#include "ui/app/main_frame.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

using namespace view_layout;

namespace ui_test {
namespace {

struct SeenDialog {
    bool shown = false;
    QString title;
    QString text;
    bool okFocused = false;
    bool okDefault = false;
    bool modal = false;
};

// Reads the More Info dialog when it comes up, then closes it with OK.
std::unique_ptr<ModalWatcher> ReadAndCloseMoreInfo(SeenDialog& seen) {
    return std::make_unique<ModalWatcher>([&seen](QWidget* modal) {
        auto* dialog = qobject_cast<CMoreInfoDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        seen.shown = true;
        seen.title = dialog->windowTitle();
        seen.text = dialog->TextBox()->toPlainText();
        seen.okFocused = dialog->focusWidget() == dialog->OkButton();
        seen.okDefault = dialog->OkButton()->isDefault();
        seen.modal = dialog->isModal();
        QTest::keyClick(dialog->OkButton(), Qt::Key_Return);
    });
}

class MoreInfoTest : public ViewerTest {
protected:
    void SetUp() override { StartViewer(); }
    QPoint RowPoint(int row) const { return QPoint(200, 249 + row * TextHeight() + 2); }
};

TEST_F(MoreInfoTest, DoubleClickOnARowOpensItsRecord) {
    Search("smith");
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    SeenDialog seen;
    auto watcher = ReadAndCloseMoreInfo(seen);
    QTest::mouseDClick(View(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, QStringLiteral("SMITH, Mary"));
    EXPECT_TRUE(seen.modal);
    EXPECT_TRUE(seen.okDefault);
    EXPECT_TRUE(seen.okFocused) << "the text is not selected when the dialog opens";
    // The record's labelled fields, line by line as the record text has them.
    EXPECT_TRUE(seen.text.startsWith(QStringLiteral("Born: \nJan. 4, 1813\n\nDied: \n1890\n")))
        << seen.text.toStdString();
    EXPECT_TRUE(seen.text.contains(QStringLiteral("War service: \nColonel")));
    EXPECT_FALSE(seen.text.contains(QLatin1Char('\r')));
    EXPECT_EQ(View()->SelectedRow(), 3) << "the highlighted row stays";
}

TEST_F(MoreInfoTest, AnotherProgramSearchingTheSameFoldersLeavesTheFilteredResultAlone) {
    // Thirty Greens, Ann and Bob in turn: the Anns fill a page and a half.
    constexpr int kCode = 2;
    CDatabaseWriter writer(kCode);
    std::string error;
    for (int i = 0; i < 30; ++i) {
        const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
        ASSERT_TRUE(
            writer.Add({"Green", (i % 2 == 0 ? "Ann " : "Bob ") + n, {"F" + n, "F" + n, "F" + n}}, &error));
    }
    ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
    DatabaseList()->setCurrentIndex(catalogue::RowOfCode(kCode));
    Search("green", "ann");
    ASSERT_EQ(View()->RecordCount(), 15);
    ASSERT_TRUE(Arrow(kIdNext)->isEnabled());

    // Meanwhile the query tool runs first-name searches in the same data
    // and installation folders, as a script in a terminal would.
    const std::vector<QStringList> searches = {
        {"--database", catalogue::StemOf(kCode), "--surname", "green", "--first-name", "bob", "--turn", "n"},
        {"--database", catalogue::StemOf(kCode), "--surname", "green", "--first-name", "a"},
        {"--database", catalogue::StemOf(1), "--surname", "smith", "--first-name", "j"},
    };
    for (const QStringList& search : searches) {
        QProcess query;
        query.start(QStringLiteral(CHRONARA_QUERY_PATH),
                    QStringList{"--data-dir", QString::fromStdString(dataDir_), "--install-dir",
                                QString::fromStdString(installDir_)} +
                        search);
        ASSERT_TRUE(query.waitForFinished(60000));
        EXPECT_EQ(query.exitCode(), 0) << query.readAllStandardError().toStdString();
        EXPECT_TRUE(query.readAllStandardOutput().contains("records found"));
    }

    // The viewer still pages and opens its own people, without a word.
    {
        ModalWatcher noMessage([](QWidget* modal) {
            ADD_FAILURE() << "a window came up: " << modal->windowTitle().toStdString();
        });
        QTest::mouseClick(Arrow(kIdNext), Qt::LeftButton);
    }
    ASSERT_EQ(View()->RowsOnPage(), 5);
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(QString::fromLatin1(View()->RowText(row)).section(QLatin1Char('\t'), 0, 1),
                  QStringLiteral("GREEN\tAnn %1").arg(20 + 2 * row))
            << row;
    }
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, RowPoint(2));
    SeenDialog seen;
    auto watcher = ReadAndCloseMoreInfo(seen);
    QTest::mouseClick(Button(kIdMoreInfo), Qt::LeftButton);
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, QStringLiteral("GREEN, Ann 24"));
    EXPECT_TRUE(seen.text.contains(QStringLiteral("F24"))) << seen.text.toStdString();
}

TEST_F(MoreInfoTest, ButtonOpensTheSelectedRowAndTitleEndsInTheCommaWithoutGivenNames) {
    Search("lee");
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, RowPoint(1));
    ASSERT_TRUE(Button(kIdMoreInfo)->isEnabled());
    SeenDialog seen;
    auto watcher = ReadAndCloseMoreInfo(seen);
    QTest::mouseClick(Button(kIdMoreInfo), Qt::LeftButton);
    ASSERT_TRUE(seen.shown);
    // The empty given-names column lets the summary stand in the title.
    const QString summary = QString::fromLatin1(View()->Pager()->Row(1).summary).trimmed();
    EXPECT_EQ(seen.title, QStringLiteral("LEE, ") + summary);
    EXPECT_TRUE(seen.text.startsWith(QStringLiteral("Born: \nUnknown")));
}

TEST_F(MoreInfoTest, NothingOpensWithoutASelectionOrBelowTheLastRow) {
    Search("lee");
    int opened = 0;
    ModalWatcher watcher([&opened](QWidget* modal) {
        ++opened;
        qobject_cast<QDialog*>(modal)->reject();
    });
    View()->OnMoreInfo();
    QTest::mouseDClick(View(), Qt::LeftButton, Qt::NoModifier, RowPoint(5));
    EXPECT_EQ(View()->SelectedRow(), -1);
    QApplication::processEvents();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MoreInfoTest, CancelledDiskPromptOpensNoDialog) {
    Search("lee");
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, RowPoint(0));
    RemoveMarker();
    testing_support::ScriptedResponder boxes;
    boxes.Script({platform::MessageAnswer::Cancel});
    bool opened = false;
    ModalWatcher watcher([&opened](QWidget* modal) {
        opened = true;
        qobject_cast<QDialog*>(modal)->reject();
    });
    QTest::mouseClick(Button(kIdMoreInfo), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_FALSE(opened);
    EXPECT_EQ(View()->SelectedRow(), 0);
}

TEST_F(MoreInfoTest, DialogLayoutFromDialogUnitsWithAReadOnlyUnwrappedTextBox) {
    CMoreInfoDlg dialog(frame_);
    dialog.SetTitle("SMITH, John");
    dialog.SetText(
        "Citation: \r\nA very long line that must not wrap however narrow the box is, since only CR LF "
        "breaks lines here.\r\nSecond\rline");
    ModalWatcher watcher([&dialog](QWidget* modal) {
        EXPECT_EQ(modal, &dialog);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("SMITH, John"));
        QPlainTextEdit* text = dialog.TextBox();
        EXPECT_TRUE(text->isReadOnly());
        EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::NoWrap);
        EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(text->document()->blockCount(), 3) << "CR LF pairs only break lines";
        EXPECT_TRUE(text->toPlainText().endsWith(QStringLiteral("Second line")));
        EXPECT_GT(text->horizontalScrollBar()->maximum(), 0) << "the long line runs past the box";

        const QSize base = CMoreInfoDlg::DialogBaseUnits(dialog.fontMetrics());
        EXPECT_EQ(dialog.size(), CMoreInfoDlg::DialogUnitsToPixels(QRect(0, 0, 315, 213), base).size());
        EXPECT_EQ(dialog.OkButton()->geometry(),
                  CMoreInfoDlg::DialogUnitsToPixels(QRect(238, 184, 50, 14), base));
        EXPECT_EQ(text->geometry(), CMoreInfoDlg::DialogUnitsToPixels(QRect(13, 14, 275, 163), base));
        EXPECT_EQ(dialog.OkButton()->nextInFocusChain(), text);

        // The text can be selected and copied.
        text->setFocus();
        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
        EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("Citation: \nA very long")));
        QTest::keyClick(text, Qt::Key_Escape);
    });
    dialog.DoModal();
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(MoreInfoTest, DialogUnitsFollowTheFont) {
    // Twice the average width and height give twice the pixels.
    const QSize base(6, 13);
    EXPECT_EQ(CMoreInfoDlg::DialogUnitsToPixels(QRect(0, 0, 315, 213), base), QRect(0, 0, 473, 346));
    EXPECT_EQ(CMoreInfoDlg::DialogUnitsToPixels(QRect(238, 184, 50, 14), base), QRect(357, 299, 75, 23));
}

}  // namespace
}  // namespace ui_test

namespace ui_test {
namespace {

// A failing disk in the viewer: the record file cut after the search.
TEST_F(MoreInfoTest, RecordThatCannotBeReadOpensNoDialogAndSaysWhy) {
    Search("smith");
    const int rows = View()->Pager()->RowsOnPage();
    ASSERT_GT(rows, 3);
    const std::string before = View()->RowText(0);
    testing_support::WriteFileBytes(dataDir_ + "/congen.ext", "");
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    QString text;
    bool moreInfo = false;
    ModalWatcher watcher([&](QWidget* modal) {
        moreInfo = qobject_cast<CMoreInfoDlg*>(modal) != nullptr;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) text = box->text();
        modal->close();
    });
    QTest::mouseClick(Button(kIdMoreInfo), Qt::LeftButton);
    EXPECT_TRUE(watcher.Fired());
    EXPECT_FALSE(moreInfo) << "More Info opened on a record that could not be read";
    EXPECT_TRUE(text.contains(QStringLiteral("Could not read congen.ext"))) << text.toStdString();
    // The page stays as it was, selection and all.
    EXPECT_EQ(View()->Pager()->RowsOnPage(), rows);
    EXPECT_EQ(std::string(View()->RowText(0)), before);
    EXPECT_EQ(View()->SelectedRow(), 3);
}

}  // namespace
}  // namespace ui_test
