// The viewer's research log: every search logged with what it found,
// Up and Down walking the earlier searches, the choices kept between runs,
// the log turned off, and the tool logging into the same log at once.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include "browse/record_text/found_person.h"
#include "browse/research_log/research_log.h"
#include "store/catalogue.h"
#include "store/database_writer.h"
#include "ui/research_log/edit_history.h"
#include "ui/research_log/settled_search.h"
#include "ui/research_log/viewer_log.h"
#include "ui/research_log/viewer_research.h"
#include "ui/research_log/viewer_settings.h"
#include "ui/search_view/chronara_view.h"
#include "ui/tests/viewer_fixture.h"

namespace ui_test {
namespace {

struct Logged {
    std::string program;
    std::string database;
    std::string asked;
    std::int64_t count;
};

std::vector<Logged> EveryLogged() {
    research_log::CResearchLog log;
    std::vector<Logged> searches;
    const research_log::LogOutcome read = log.ForEachSearch([&](const research_log::LoggedSearch& search) {
        searches.push_back({search.program, search.asked.database, search.askedText, search.count});
        return true;
    });
    EXPECT_FALSE(read.Failed());
    return searches;
}

class ResearchLogViewerTest : public ViewerTest {
protected:
    void SetUp() override { StartViewer(); }
    CViewerResearch& Research() const { return View()->Research(); }
    void Key(QWidget* target, Qt::Key key) {
        QTest::keyClick(target, key);
        QApplication::processEvents();
    }
};

TEST_F(ResearchLogViewerTest, EverySearchIsLoggedWithWhatItFoundNobodyIncluded) {
    const std::string stem = catalogue::StemOf(catalogue::CodeOfRow(0));
    struct Case {
        const char* surname;
        const char* firstName;
        Logged expected;
    };
    const Case cases[] = {
        {"smith", "", {"chronara", stem, "surname SMITH", kSmithCount}},
        {"Nobodyhere", "", {"chronara", stem, "surname NOBODYHERE", 0}},
        {"smith", "j", {"chronara", stem, "surname SMITH, first name j", -1}},
        // Without a surname nothing is searched, and nothing is logged.
        {"", "", {"", "", "", -2}},
    };
    std::vector<Logged> expected;
    for (const Case& c : cases) {
        testing_support::ScriptedResponder boxes;
        Search(c.surname, c.firstName);
        if (c.expected.count == -2) continue;
        Logged one = c.expected;
        if (one.count == -1) one.count = View()->RecordCount();
        expected.push_back(one);
    }
    const std::vector<Logged> logged = EveryLogged();
    ASSERT_EQ(logged.size(), expected.size());
    for (std::size_t i = 0; i < logged.size(); ++i) {
        EXPECT_EQ(logged[i].program, expected[i].program) << i;
        EXPECT_EQ(logged[i].database, expected[i].database) << i;
        EXPECT_EQ(logged[i].asked, expected[i].asked) << i;
        EXPECT_EQ(logged[i].count, expected[i].count) << i;
    }
}

TEST_F(ResearchLogViewerTest, UpAndDownWalkTheEarlierSearchesOfTheDatabaseChosen) {
    Search("adams", "");
    Search("baker", "mary");
    Search("clark", "");
    // Another database's search is not walked in this one.
    research_log::AskedSearch other;
    other.database = catalogue::StemOf(catalogue::CodeOfRow(1));
    other.surname = "DODD";
    Research().Log().LogSearch(other, 3);
    Surname()->setFocus();
    Surname()->setText(QStringLiteral("ev"));
    struct Step {
        Qt::Key key;
        QLineEdit* in;
        const char* surname;
        const char* firstName;
    };
    const Step steps[] = {
        {Qt::Key_Up, Surname(), "CLARK", ""},
        {Qt::Key_Up, Surname(), "BAKER", "mary"},
        {Qt::Key_Up, FirstName(), "ADAMS", ""},
        {Qt::Key_Up, Surname(), "ADAMS", ""},  // the oldest: stays
        {Qt::Key_Down, Surname(), "BAKER", "mary"},
        {Qt::Key_Down, Surname(), "CLARK", ""},
        {Qt::Key_Down, Surname(), "ev", ""},  // back to what was typed
        {Qt::Key_Down, Surname(), "ev", ""},
    };
    for (const Step& step : steps) {
        Key(step.in, step.key);
        EXPECT_EQ(Surname()->text(), QString::fromLatin1(step.surname)) << step.surname;
        EXPECT_EQ(FirstName()->text(), QString::fromLatin1(step.firstName)) << step.surname;
    }
    // Typing ends the walk: Up starts again from the newest, stepping over
    // the search the boxes show.
    Key(Surname(), Qt::Key_Up);
    QTest::keyClicks(Surname(), QStringLiteral("x"));
    EXPECT_FALSE(Research().History().Walking());
    Search("clark", "");
    Key(Surname(), Qt::Key_Up);
    EXPECT_EQ(Surname()->text(), QStringLiteral("BAKER"));
}

TEST_F(ResearchLogViewerTest, TheChoicesAreKeptFromOneRunToTheNext) {
    // A database of its own on the third row, searched last.
    CDatabaseWriter writer(catalogue::CodeOfRow(2));
    std::string error;
    ASSERT_TRUE(writer.Add({"Smith", "Ira", {"Private"}}, &error)) << error;
    ASSERT_TRUE(writer.Write(dataDir_, 0, &error)) << error;
    DatabaseList()->setCurrentIndex(2);
    Search("smith", "");
    View()->RunMenuCommand(MenuCommand::MatchNameVariants);
    CFindSurnameDlg::Choices surname;
    surname.mode = MatchMode::Soundex;
    surname.scope = CFindSurnameDlg::Scope::ChosenDatabase;
    Research().KeepSurnameChoices(surname);
    CFindRecordsDlg::Choices records;
    records.field = QStringLiteral("surname");
    records.yearsFrom = QStringLiteral("1861");
    records.yearsTo = QStringLiteral("1865");
    records.scope = CFindRecordsDlg::Scope::AllDatabases;
    records.abbreviations = true;
    Research().KeepRecordsChoices(records);
    Research().Exported(QString::fromStdString(userDataDir_ + "/smith.csv"));

    StopViewer();
    StartViewer();
    EXPECT_EQ(DatabaseList()->currentIndex(), 2);
    EXPECT_TRUE(View()->NameVariants());
    const CFindSurnameDlg::Choices keptSurname = Research().SurnameChoices();
    EXPECT_EQ(keptSurname.mode, MatchMode::Soundex);
    EXPECT_EQ(keptSurname.scope, CFindSurnameDlg::Scope::ChosenDatabase);
    const CFindRecordsDlg::Choices keptRecords = Research().RecordsChoices();
    EXPECT_EQ(keptRecords.field, records.field);
    EXPECT_EQ(keptRecords.yearsFrom, records.yearsFrom);
    EXPECT_EQ(keptRecords.yearsTo, records.yearsTo);
    EXPECT_EQ(keptRecords.scope, records.scope);
    EXPECT_TRUE(keptRecords.abbreviations);
    EXPECT_EQ(Research().ExportFolder(QStringLiteral("/nowhere")), QString::fromStdString(userDataDir_));
    // The settings file is the user's, not the installation's profile.
    EXPECT_EQ(Research().Settings().Path(), QString::fromStdString(configDir_ + "/chronara/viewer.conf"));
}

TEST_F(ResearchLogViewerTest, FindInRecordsChoicesAreLoggedAsTheToolLogsThem) {
    const std::string stem = catalogue::StemOf(catalogue::CodeOfRow(0));
    using Scope = CFindRecordsDlg::Scope;
    struct Case {
        const char* text;
        const char* from;
        const char* to;
        bool abbreviations;
        Scope scope;
        std::string database;
        int yearFrom, yearTo;
        std::vector<std::string> options;
    };
    const Case cases[] = {
        {"  \"20th maine\" ", "1863", "1865", false, Scope::ChosenDatabase, stem, 1863, 1865, {}},
        // One year given is the range of that year.
        {"pa", "1864", "", true, Scope::AllDatabases, "all", 1864, 1864, {"abbreviations"}},
        {"pa", "", "x", false, Scope::AllDatabases, "all", 0, 0, {}},
    };
    for (const Case& c : cases) {
        CFindRecordsDlg::Choices choices;
        choices.text = QString::fromLatin1(c.text);
        choices.yearsFrom = QString::fromLatin1(c.from);
        choices.yearsTo = QString::fromLatin1(c.to);
        choices.abbreviations = c.abbreviations;
        choices.scope = c.scope;
        const research_log::AskedSearch asked = CViewerResearch::AskedOfRecords(choices, 0);
        EXPECT_EQ(asked.kind, research_log::SearchKind::Find) << c.text;
        EXPECT_EQ(asked.query, QString::fromLatin1(c.text).trimmed().toStdString()) << c.text;
        EXPECT_EQ(asked.database, c.database) << c.text;
        EXPECT_EQ(asked.yearFrom, c.yearFrom) << c.text;
        EXPECT_EQ(asked.yearTo, c.yearTo) << c.text;
        EXPECT_EQ(asked.options, c.options) << c.text;
    }
}

TEST(SettledSearch, TheSearchLoggedLastAnsweredAgainIsNoNewSearchWhileItsDialogIsOpen) {
    std::vector<std::string> logged;
    CSettledSearch settled([&logged](const research_log::AskedSearch& asked, std::int64_t count) {
        logged.push_back(asked.query + "=" + std::to_string(count));
    });
    auto asked = [](const char* query) {
        research_log::AskedSearch search;
        search.kind = research_log::SearchKind::Find;
        search.query = query;
        return search;
    };
    enum class Then { Flush, Done, Nothing };
    const struct {
        const char* query;
        std::int64_t count;
        Then then;
        const char* expected;  // everything logged so far
    } steps[] = {
        {"a*", 5, Then::Flush, "a*=5"},
        {"a*", 5, Then::Flush, "a*=5"},    // the list sorted: asked again, the same answer
        {"b*", 3, Then::Nothing, "a*=5"},  // typed, then taken back before the pause
        {"a*", 5, Then::Flush, "a*=5"},
        {"a*", 6, Then::Flush, "a*=5 a*=6"},  // the same words, another answer
        {"a*", 6, Then::Done, "a*=5 a*=6"},
        {"a*", 6, Then::Flush, "a*=5 a*=6 a*=6"},  // in a dialog opened anew
        {"c", 1, Then::Done, "a*=5 a*=6 a*=6 c=1"},
    };
    for (const auto& step : steps) {
        settled.Offer(asked(step.query), step.count);
        if (step.then == Then::Flush) settled.Flush();
        if (step.then == Then::Done) settled.Done();
        std::string all;
        for (const std::string& one : logged) all += (all.empty() ? "" : " ") + one;
        EXPECT_EQ(all, step.expected) << step.query << "=" << step.count;
    }
}

TEST_F(ResearchLogViewerTest, ASettingsFileEditedIntoNonsenseGivesTheDefaults) {
    StopViewer();
    testing_support::WriteFileBytes(
        configDir_ + "/chronara/viewer.conf",
        "[search]\ndatabase=nosuch\nname-variants=maybe\n[find-surname]\nmatch=loud\n"
        "[export]\nfolder=/no/such/folder\n");
    StartViewer();
    EXPECT_EQ(DatabaseList()->currentIndex(), 0);
    EXPECT_FALSE(View()->NameVariants());
    EXPECT_EQ(Research().SurnameChoices().mode, CFindSurnameDlg::Choices{}.mode);
    EXPECT_EQ(Research().ExportFolder(QStringLiteral("/fallback")), QStringLiteral("/fallback"));
}

TEST_F(ResearchLogViewerTest, ALogTurnedOffKeepsNothingNewAndSearchesGoOn) {
    Search("adams", "");
    Research().Settings().SetKeepLog(false);
    StopViewer();
    StartViewer();
    testing_support::ScriptedResponder boxes;
    Search("smith", "");
    EXPECT_EQ(View()->RecordCount(), kSmithCount);
    EXPECT_TRUE(boxes.Shown().empty());
    ASSERT_EQ(EveryLogged().size(), 1u);
}

TEST_F(ResearchLogViewerTest, ALogThatCannotBeKeptIsSaidOnceAndSearchesGoOn) {
    StopViewer();
    // The data folder is a file: no log can be made under it.
    testing_support::WriteFileBytes(userDataDir_ + "/chronara", "not a folder");
    StartViewer();
    testing_support::ScriptedResponder boxes;
    for (int i = 0; i < 3; ++i) {
        Search("smith", "");
        EXPECT_EQ(View()->RecordCount(), kSmithCount);
    }
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].text.find("research log"), std::string::npos) << boxes.Shown()[0].text;
}

TEST_F(ResearchLogViewerTest, TheToolAndTheViewerLogIntoOneLogAtOnce) {
    const std::string stem = catalogue::StemOf(catalogue::CodeOfRow(0));
    constexpr int kTools = 4;
    std::vector<std::unique_ptr<QProcess>> tools;
    for (int i = 0; i < kTools; ++i) {
        tools.push_back(std::make_unique<QProcess>());
        tools.back()->start(QStringLiteral(CHRONARA_QUERY_PATH),
                            QStringList{"--data-dir", QString::fromStdString(dataDir_), "--install-dir",
                                        QString::fromStdString(installDir_), "--log", "--database",
                                        QString::fromStdString(stem), "--surname", "smith"});
    }
    constexpr int kViewerSearches = 5;
    for (int i = 0; i < kViewerSearches; ++i) Search("smith", "");
    for (auto& tool : tools) {
        // The viewer's searches ran the event loop: a tool may be over already.
        if (tool->state() != QProcess::NotRunning) {
            ASSERT_TRUE(tool->waitForFinished(60000));
        }
        EXPECT_EQ(tool->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tool->exitCode(), 0) << tool->readAllStandardError().toStdString();
    }
    int viewer = 0, tool = 0;
    for (const Logged& one : EveryLogged()) {
        EXPECT_EQ(one.asked, "surname SMITH");
        EXPECT_EQ(one.count, kSmithCount);
        (one.program == "chronara" ? viewer : tool) += 1;
    }
    EXPECT_EQ(viewer, kViewerSearches);
    EXPECT_EQ(tool, kTools);
}

TEST_F(ResearchLogViewerTest, WhatTheToolWritesTheOpenViewerReadsAndTheOtherWayRound) {
    const QString stem = QString::fromLatin1(catalogue::StemOf(catalogue::CodeOfRow(0)));
    auto tool = [this](const QStringList& options) {
        QProcess process;
        process.start(QStringLiteral(CHRONARA_QUERY_PATH),
                      QStringList{"--data-dir", QString::fromStdString(dataDir_), "--install-dir",
                                  QString::fromStdString(installDir_)} +
                          options);
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromLatin1(process.readAllStandardOutput());
    };
    Search("smith", "");
    // The viewer's log stays open while the tool logs a search: Up walks it.
    tool({"--log", "--database", stem, "--surname", "adams"});
    Surname()->setFocus();
    Surname()->clear();
    Key(Surname(), Qt::Key_Up);
    EXPECT_EQ(Surname()->text(), QStringLiteral("ADAMS"));
    Key(Surname(), Qt::Key_Up);
    EXPECT_EQ(Surname()->text(), QStringLiteral("SMITH"));
    // A person the viewer saves is listed by the tool while the viewer runs.
    FoundPerson found;
    ASSERT_TRUE(View()->PersonOfRow(0, found));
    research_log::PersonOnDisk person;
    person.code = found.code;
    person.entry = found.entry;
    person.surname = found.surname;
    person.givenNames = found.givenNames;
    const std::string note = "seen in both";
    ASSERT_TRUE(Research().Log().SavePerson(person, &note));
    const QStringList saved = tool({"--saved"}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(saved.size(), 1);
    const QStringList cells = saved[0].split(QLatin1Char('\t'));
    ASSERT_EQ(cells.size(), 6) << saved[0].toStdString();
    EXPECT_EQ(cells.mid(1),
              (QStringList{stem, QString::number(found.entry), QString::fromLatin1(found.surname.c_str()),
                           QString::fromLatin1(found.givenNames.c_str()), "seen in both"}));
    const QStringList history = tool({"--history"}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(history.size(), 2);
    EXPECT_TRUE(
        history[0].contains(QStringLiteral("\tchronara\t") + stem + QStringLiteral("\tsurname SMITH\t")))
        << history[0].toStdString();
    EXPECT_TRUE(history[1].contains(QStringLiteral("\tchronara-query\t") + stem +
                                    QStringLiteral("\tsurname ADAMS\t")))
        << history[1].toStdString();
}

}  // namespace
}  // namespace ui_test
