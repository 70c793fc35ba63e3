#pragma once
// The fixture of the Find Surname tests and of the tests of what the
// window does with a search's hits: the test disk with a second database,
// and the helpers both read their results with (PDF text, counts).

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "store/catalogue.h"
#include "store/database_writer.h"
#include "ui/app/main_frame.h"
#include "ui/find_surname/find_surname_dlg.h"
#include "ui/find_surname/surname_match_model.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/print/print_documents.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {

// The second database of the disk: the list row and its people.
inline constexpr int kSecondRow = 5;

inline std::string Title(int code) { return catalogue::TitleOfCode(code); }

// The text of a PDF file, as pdftotext lays it out (pages end in a form feed).
inline std::string PdfText(const std::string& pdf) {
    const std::string command = "pdftotext -layout '" + pdf + "' - 2>/dev/null";
    std::string text;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    ::pclose(pipe);
    return text;
}

inline std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

inline std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

class FindAndResultsTest : public ViewerTest {
protected:
    void SetUp() override {
        secondCode_ = catalogue::CodeOfRow(kSecondRow);
        CDatabaseWriter writer(secondCode_);
        std::string error;
        const char* const people[][2] = {{"Smyth", "Ann"},
                                         {"Smyth", "Bert"},
                                         {"Schmidt", "Carl"},
                                         {"Lee", "Dora"},
                                         {"Lehmann", "\xC9mil"}};
        for (const auto& person : people) {
            ASSERT_TRUE(writer.Add(PersonRecord{person[0], person[1], {"1861", "Private"}}, &error)) << error;
        }
        ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
        StartViewer();
    }

    // Opens Find Surname with Ctrl+F from the focused control and runs fn in it.
    void InFindSurname(QWidget* from, const std::function<void(CFindSurnameDlg&)>& fn) {
        from->setFocus();
        ModalWatcher watcher([&fn](QWidget* modal) {
            auto* dialog = qobject_cast<CFindSurnameDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            fn(*dialog);
        });
        QTest::keyClick(from, Qt::Key_F, Qt::ControlModifier);
        QApplication::processEvents();
        EXPECT_TRUE(watcher.Fired());
    }

    // The dialog's list as "title|SURNAME|count" lines.
    static std::vector<std::string> Matches(const CFindSurnameDlg& dialog) {
        std::vector<std::string> rows;
        const CSurnameMatchModel& model = *dialog.Model();
        for (int row = 0; row < model.rowCount(); ++row) {
            const ListedSurname* match = model.Match(row);
            rows.push_back(Title(match->code) + "|" + match->surname + "|" + std::to_string(match->count));
            for (int column = 0; column < CSurnameMatchModel::kColumnCount; ++column) {
                EXPECT_FALSE(model.data(model.index(row, column), Qt::DisplayRole).toString().isEmpty());
            }
        }
        return rows;
    }

    static void Choose(CFindSurnameDlg& dialog, MatchMode mode, CFindSurnameDlg::Scope scope) {
        dialog.ModeBox()->setCurrentIndex(dialog.ModeBox()->findData(static_cast<int>(mode)));
        dialog.ScopeBox()->setCurrentIndex(dialog.ScopeBox()->findData(static_cast<int>(scope)));
    }

    // What the print dialog would print goes into a PDF file instead.
    void PrintTo(const std::string& pdf) {
        View()->SetPrintDialogRunner([pdf](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        });
    }

    QString Clipboard() const { return QApplication::clipboard()->text(); }

    int secondCode_ = 0;
};

}  // namespace ui_test
