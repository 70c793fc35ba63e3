#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/profile.h"
#include "store/catalogue.h"
#include "store/directories.h"
#include "support/test_support.h"

using testing_support::ScopedEnv;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::string Read(const std::string& ini, const char* section, const char* key, std::size_t size = 260,
                 const char* def = "") {
    char out[300];
    std::size_t length = platform::ReadProfileText(ini, section, key, def, out, size);
    EXPECT_EQ(length, std::string(out).size());
    return out;
}

}  // namespace

TEST(Profile, MatchesNamesWithoutCaseAndTrimsBlanks) {
    const std::string ini =
        "; comment\r\n[Other]\r\nTavoraDir=/wrong\r\n[tavora7M]\r\n  tavoradir =  /opt/chronara  \r\n";
    EXPECT_EQ(Read(ini, "Tavora7m", "TavoraDir"), "/opt/chronara");
    EXPECT_EQ(Read(ini, "Tavora7m", "ChronaraPath", 260, "dflt"), "dflt");
    EXPECT_EQ(Read(ini, "Missing", "TavoraDir"), "");
}

TEST(Profile, FirstSectionAndFirstKeyWin) {
    const std::string ini = "[S]\nk=one\nk=two\n[S]\nk=three\n";
    EXPECT_EQ(Read(ini, "s", "K"), "one");
    // A key only in the repeated section is not seen.
    EXPECT_EQ(Read("[S]\na=1\n[S]\nb=2\n", "S", "b", 260, "none"), "none");
}

TEST(Profile, CutsToBufferSizeMinusOne) {
    const std::string ini = "[S]\nk=abcdefghij\n";
    EXPECT_EQ(Read(ini, "S", "k", 5), "abcd");
    EXPECT_EQ(Read(ini, "S", "k", 1), "");
    EXPECT_EQ(Read(ini, "S", "missing", 3, "default"), "de");
    char untouched[4] = {'x', 'x', 'x', '\0'};
    EXPECT_EQ(platform::ReadProfileText(ini, "S", "k", "", untouched, 0), 0u);
    EXPECT_STREQ(untouched, "xxx");
}

TEST(Profile, IgnoresMalformedLines) {
    const std::string ini = "garbage\n[S\nk=bad\n[S]\nno equals here\n=empty key\nk = good \n";
    EXPECT_EQ(Read(ini, "S", "k"), "good");
    EXPECT_EQ(Read(ini, "S", ""), "empty key");
}

TEST(Profile, LooksInConfigHomeThenConfigDirs) {
    TempDir home, dirA, dirB;
    ScopedEnv configHome("XDG_CONFIG_HOME", home.Path().c_str());
    const std::string dirs = "relative/ignored:" + dirA.Path() + ":" + dirB.Path();
    ScopedEnv configDirs("XDG_CONFIG_DIRS", dirs.c_str());

    EXPECT_EQ(platform::FindConfigFile("corvane.ini"), "");
    WriteFileBytes(dirB.File("corvane.ini"), "[Tavora7m]\nTavoraDir=/from-b\n");
    EXPECT_EQ(platform::FindConfigFile("corvane.ini"), dirB.File("corvane.ini"));
    WriteFileBytes(dirA.File("corvane.ini"), "[Tavora7m]\nTavoraDir=/from-a\n");
    EXPECT_EQ(platform::FindConfigFile("corvane.ini"), dirA.File("corvane.ini"));
    WriteFileBytes(home.File("corvane.ini"), "[Tavora7m]\nTavoraDir=/from-home\n");
    char out[260];
    platform::ReadProfileText(platform::LoadProfile(platform::FindConfigFile("corvane.ini")), "Tavora7m",
                              "TavoraDir", "", out, sizeof out);
    EXPECT_STREQ(out, "/from-home");
}

TEST(Profile, ConfigHomeDefaultsToDotConfigAndSkipsFolders) {
    TempDir home;
    ScopedEnv user("HOME", home.Path().c_str());
    ScopedEnv configHome("XDG_CONFIG_HOME", nullptr);
    ScopedEnv configDirs("XDG_CONFIG_DIRS", home.Path().c_str());
    ::mkdir(home.File(".config").c_str(), 0755);
    // A folder of that name is no settings file.
    ::mkdir(home.File("corvane.ini").c_str(), 0755);
    EXPECT_EQ(platform::FindConfigFile("corvane.ini"), "");
    WriteFileBytes(home.File(".config/corvane.ini"), "[x]\n");
    EXPECT_EQ(platform::FindConfigFile("corvane.ini"), home.File(".config/corvane.ini"));
}

TEST(Directories, TrailingSlashRule) {
    CDirectories dirs;
    dirs.SetDataDir("/media/disk");
    EXPECT_STREQ(dirs.DataDir(), "/media/disk/");
    dirs.SetDataDir("/media/disk/");
    EXPECT_STREQ(dirs.DataDir(), "/media/disk/");
    dirs.SetDataDir("");
    EXPECT_STREQ(dirs.DataDir(), "/");
    dirs.SetInstallDir("/opt/data");
    EXPECT_STREQ(dirs.InstallDir(), "/opt/data/");
    EXPECT_FALSE(dirs.InstallDirIsDefault());
}

// An empty installation directory is the user's data folder, never "/".
TEST(Directories, DefaultInstallDirFromTheEnvironment) {
    struct Case {
        const char* dataHome;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/x/data", "/h", "/x/data/chronara/"},
        {"/x/data/", "/h", "/x/data/chronara/"},
        {"relative", "/h", "/h/.local/share/chronara/"},
        {"", "/h/", "/h/.local/share/chronara/"},
        {"/", "/h", "/h/.local/share/chronara/"},
        {nullptr, "/h", "/h/.local/share/chronara/"},
        {nullptr, nullptr, ""},
        {nullptr, "relative", ""},
        {nullptr, "//", ""},
    };
    for (const Case& c : cases) {
        ScopedEnv dataHome("XDG_DATA_HOME", c.dataHome);
        ScopedEnv home("HOME", c.home);
        CDirectories dirs;
        const std::string where =
            std::string(c.dataHome ? c.dataHome : "(unset)") + " " + (c.home ? c.home : "(unset)");
        EXPECT_STREQ(dirs.InstallDir(), c.expected) << where;
        dirs.SetInstallDir("/opt/x");
        dirs.SetInstallDir("");
        EXPECT_STREQ(dirs.InstallDir(), c.expected) << where;
        EXPECT_TRUE(dirs.InstallDirIsDefault()) << where;
    }
}

TEST(Directories, PrepareInstallDirMakesOnlyTheDefaultFolder) {
    TempDir root;
    std::string error;
    {
        // Missing parents of XDG_DATA_HOME are made too, each private.
        ScopedEnv dataHome("XDG_DATA_HOME", root.File("a/b").c_str());
        CDirectories dirs;
        ASSERT_TRUE(dirs.PrepareInstallDir(&error)) << error;
        struct stat info {};
        ASSERT_EQ(::stat(root.File("a/b/chronara").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
        EXPECT_TRUE(dirs.PrepareInstallDir(&error));
        // Any other folder is the user's business: nothing is made.
        dirs.SetInstallDir(root.File("elsewhere").c_str());
        EXPECT_TRUE(dirs.PrepareInstallDir(&error));
        EXPECT_NE(::access(root.File("elsewhere").c_str(), F_OK), 0);
    }
    ScopedEnv dataHome("XDG_DATA_HOME", nullptr);
    {
        ScopedEnv home("HOME", root.File("home").c_str());
        CDirectories dirs;
        // HOME itself is never made.
        EXPECT_FALSE(dirs.PrepareInstallDir(&error));
        EXPECT_EQ(errno, ENOENT);
        EXPECT_NE(::access(root.File("home").c_str(), F_OK), 0);
        ::mkdir(root.File("home").c_str(), 0755);
        EXPECT_TRUE(dirs.PrepareInstallDir(&error)) << error;
        EXPECT_EQ(::access(root.File("home/.local/share/chronara").c_str(), W_OK), 0);
    }
    {
        WriteFileBytes(root.File("file"), "x");
        ScopedEnv home("HOME", root.File("file").c_str());
        CDirectories dirs;
        EXPECT_FALSE(dirs.PrepareInstallDir(&error));
        EXPECT_EQ(errno, ENOTDIR);
        EXPECT_NE(error.find(root.File("file/.local")), std::string::npos) << error;
    }
    {
        ScopedEnv home("HOME", nullptr);
        CDirectories dirs;
        EXPECT_FALSE(dirs.PrepareInstallDir(&error));
        EXPECT_EQ(errno, ENOENT);
        EXPECT_NE(error.find("HOME"), std::string::npos) << error;
    }
}

TEST(Directories, DataDirThatDoesNotFitIsRefusedNotCut) {
    CDirectories dirs;
    dirs.SetDataDir(std::string(258, 'a').c_str());  // 258 + '/' = 259 characters: fits
    EXPECT_TRUE(dirs.DataDirFits());
    EXPECT_EQ(std::string(dirs.DataDir()).size(), 259u);
    dirs.SetDataDir(std::string(259, 'a').c_str());  // the '/' would make 260
    EXPECT_FALSE(dirs.DataDirFits());
    EXPECT_STREQ(dirs.DataDir(), "");
}

TEST(Directories, LoadDirectoriesFromIniOrDefaults) {
    TempDir home;
    ScopedEnv configHome("XDG_CONFIG_HOME", home.Path().c_str());
    ScopedEnv configDirs("XDG_CONFIG_DIRS", "/nonexistent-chronara-dir");
    ScopedEnv dataHome("XDG_DATA_HOME", "/data/home");
    CDirectories dirs;
    dirs.LoadDirectories();
    EXPECT_STREQ(dirs.InstallDir(), "/data/home/chronara/");
    EXPECT_STREQ(dirs.DataDir(), "/");

    WriteFileBytes(home.File("corvane.ini"), "[Tavora7m]\nTavoraDir=\n");
    dirs.LoadDirectories();
    EXPECT_STREQ(dirs.InstallDir(), "/data/home/chronara/");

    WriteFileBytes(home.File("corvane.ini"),
                   "[Tavora7m]\nTavoraDir = /opt/tavora\nChronaraPath=/media/disk/\n");
    dirs.LoadDirectories();
    EXPECT_STREQ(dirs.InstallDir(), "/opt/tavora/");
    EXPECT_STREQ(dirs.DataDir(), "/media/disk/");

    // A 300-character value arrives cut to 259 characters by the profile read.
    WriteFileBytes(home.File("corvane.ini"), "[Tavora7m]\nTavoraDir=/" + std::string(299, 'x') + "\n");
    dirs.LoadDirectories();
    EXPECT_EQ(std::string(dirs.InstallDir()).size(), 260u);
    EXPECT_EQ(std::string(dirs.InstallDir()).back(), '/');
}

TEST(Catalogue, RowsCodesStemsAndKeyWidths) {
    EXPECT_STREQ(catalogue::StemOf(catalogue::CodeOfRow(2)), "rev");
    EXPECT_STREQ(catalogue::StemOf(catalogue::CodeOfRow(4)), "pcc");
    EXPECT_STREQ(catalogue::StemOf(catalogue::CodeOfRow(3)), "titan");
    EXPECT_TRUE(catalogue::UsesLongKeys(14));
    EXPECT_TRUE(catalogue::UsesLongKeys(13));
    EXPECT_FALSE(catalogue::UsesLongKeys(3));
    EXPECT_EQ(catalogue::CodeOfRow(-1), 0);
    EXPECT_EQ(catalogue::CodeOfRow(13), 0);
    for (int row = 0; row < catalogue::kRowCount; ++row) {
        EXPECT_NE(catalogue::CodeOfRow(row), 9) << "row " << row;
        EXPECT_NE(catalogue::CodeOfRow(row), 0) << "row " << row;
        EXPECT_EQ(catalogue::RowOfCode(catalogue::CodeOfRow(row)), row) << "row " << row;
    }
    EXPECT_EQ(catalogue::RowOfCode(9), -1);
    EXPECT_EQ(catalogue::RowOfCode(0), -1);
    for (int code = 1; code <= 14; ++code) {
        EXPECT_EQ(catalogue::UsesLongKeys(code), code == 2 || code >= 7) << code;
        EXPECT_EQ(catalogue::CodeOfStem(catalogue::StemOf(code)), code);
    }
    EXPECT_EQ(catalogue::CodeOfStem("numa"), 0);
    EXPECT_EQ(catalogue::CodeOfStem("nothing"), 0);
    EXPECT_STREQ(catalogue::kListTexts[catalogue::kRowCount], "");
    EXPECT_STREQ(catalogue::ListText(12), "WWII and Korea: Graves and Monuments");
}
