#pragma once
// The fixture of the Find in Records tests: a disk of one database of
// medal records, the dialog opened from the main window as the user opens
// it, and the helpers that ask it a query and read the people it found.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "store/catalogue.h"
#include "store/csv_reader.h"
#include "store/database_writer.h"
#include "ui/app/main_frame.h"
#include "ui/common/help_window.h"
#include "ui/find_records/find_records_dlg.h"
#include "ui/find_records/found_people_model.h"
#include "ui/find_records/record_finder.h"
#include "ui/pictures/bitmap_button.h"
#include "ui/results/more_info_dlg.h"
#include "ui/search_view/chronara_view.h"
#include "ui/search_view/result_list.h"
#include "ui/search_view/view_layout.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {

class FindRecordsTest : public ViewerTest {
protected:
    // civmoh, list row 1: Rank and Organization, Place and Date, Entered service at
    static constexpr int kMedals = 2;
    using Scope = CFindRecordsDlg::Scope;

    static std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

    FindRecordsTest() : cacheHome_("XDG_CACHE_HOME", root_.File("cache").c_str()) {}

    void SetUp() override {
        CDatabaseWriter writer(kMedals);
        std::string error;
        const PersonRecord people[] = {
            {"Chamberlain", "Joshua L.", {"Colonel, 20th Maine Infantry", "2 July 1863", "Brunswick"}},
            {"O'Brien", "Henry", {"Corporal, 1st Minnesota", "3 July 1863", "M\xFCnchen"}},
            {"Tozier", "Andrew J.", {"Sergeant, 20th Maine Infantry", "2 July 1863", "Plymouth"}},
            {"Smith", "Quincy", {"Private, 20th Maine Infantry", "1 May 1864", "Bangor"}},
        };
        for (const PersonRecord& person : people) ASSERT_TRUE(writer.Add(person, &error)) << error;
        ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
        StartViewer();
    }

    // Opens Find in Records with Ctrl+Shift+F from the focused control and runs fn in it.
    void InFindRecords(QWidget* from, const std::function<void(CFindRecordsDlg&)>& fn) {
        from->setFocus();
        ModalWatcher watcher([&fn](QWidget* modal) {
            auto* dialog = qobject_cast<CFindRecordsDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            ASSERT_TRUE(dialog->WaitForAnswer());
            fn(*dialog);
        });
        QTest::keyClick(from, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
        QApplication::processEvents();
        EXPECT_TRUE(watcher.Fired());
    }

    // Runs the event loop until done holds (the threads' answers come through it).
    static bool Until(const std::function<bool()>& done) {
        for (int i = 0; i < 2000 && !done(); ++i) QTest::qWait(5);
        return done();
    }

    static void Ask(CFindRecordsDlg& dialog, const char* text, const char* field, const char* from,
                    const char* to, Scope scope) {
        dialog.ScopeBox()->setCurrentIndex(dialog.ScopeBox()->findData(static_cast<int>(scope)));
        dialog.FieldBox()->setCurrentIndex(dialog.FieldBox()->findText(QString::fromLatin1(field)));
        dialog.YearsFrom()->setText(QString::fromLatin1(from));
        dialog.YearsTo()->setText(QString::fromLatin1(to));
        dialog.TextField()->setText(QString::fromLatin1(text));
        dialog.Refresh();
        // Every database's index is made first: the answer is whole once none waits.
        ASSERT_TRUE(Until([&dialog]() { return dialog.Answered() && dialog.IndexingLine()->isHidden(); }));
    }

    // The people read into the list: "SURNAME|given names|where it matched".
    static std::vector<std::string> People(const CFindRecordsDlg& dialog) {
        std::vector<std::string> rows;
        for (int row = 0; const CRecordFinder::Row* person = dialog.Model()->Person(row); ++row) {
            rows.push_back(Utf8(person->surname + QLatin1Char('|') + person->givenNames + QLatin1Char('|') +
                                CFoundPeopleModel::Unmarked(person->match)));
        }
        return rows;
    }

    QString Clipboard() const { return QApplication::clipboard()->text(); }

    testing_support::ScopedEnv cacheHome_;
};

}  // namespace ui_test
