// Command line, locations and uninstall texts of the program shell.
#include <gtest/gtest.h>

#include <set>

#include "app/command_line.h"
#include "app/locations.h"
#include "app/uninstall.h"
#include "support/fake_file_system.h"
#include "support/fake_registry.h"
#include "support/fake_shell.h"

namespace pelorin {
namespace {

TEST(StartRequestTest, WordsAreRecognisedInAnyLetterCase) {
  EXPECT_EQ(ParseStartRequest("UnInstall"), CommandLineRequest::Uninstall);
  EXPECT_EQ(ParseStartRequest("INSTALL"), CommandLineRequest::Install);
  EXPECT_EQ(ParseStartRequest("uninstal"), CommandLineRequest::Normal);
  EXPECT_EQ(ParseStartRequest("uninstallx"), CommandLineRequest::Normal);
  EXPECT_EQ(ParseStartRequest(""), CommandLineRequest::Normal);
}

TEST(StartRequestTest, OnlyTheFirstArgumentCounts) {
  EXPECT_EQ(FirstArgument("  UnInstall now"), "UnInstall");
  EXPECT_EQ(FirstArgument("\"un install\" x"), "un install");
  EXPECT_EQ(FirstArgument("\"unterminated"), "unterminated");
  EXPECT_EQ(FirstArgument("   "), "");
  EXPECT_EQ(FirstArgument(""), "");
}

TEST(LocationsTest, PlayerDirectoryFromRegistration) {
  EXPECT_EQ(PlayerDirectoryFromUninstallString("\"C:\\Program Files\\Winamp\\UninstWA.exe\""),
            "C:\\Program Files\\Winamp");
  EXPECT_EQ(PlayerDirectoryFromUninstallString("C:\\Winamp\\UninstWA.exe"), "C:\\Winamp");
  // The last character goes unseen after a leading quote.
  EXPECT_EQ(PlayerDirectoryFromUninstallString("\"C:\\Winamp\\u.exe /S"), "C:\\Winamp");
  EXPECT_EQ(PlayerDirectoryFromUninstallString("uninst.exe"), "uninst.exe");
  EXPECT_EQ(PlayerDirectoryFromUninstallString("\""), "");
  EXPECT_EQ(PlayerDirectoryFromUninstallString(""), "");
}

TEST(LocationsTest, PlayerIsLookedForInTheParentOfTheProgramDirectory) {
  EXPECT_EQ(ParentOfProgramDirectory("C:\\Apps\\Winamp\\Plugins\\x.exe"), "C:\\Apps\\Winamp");
  EXPECT_EQ(ParentOfProgramDirectory("x.exe"), "x.exe");
}

TEST(LocationsTest, FileNameIsThePartAfterTheLastBackslash) {
  EXPECT_EQ(FileNameOf("C:\\Tools\\Prog\\X.EXE"), "X.EXE");
}

TEST(UninstallTest, CommandIsTheLowerCaseQuotedPathAndTheWord) {
  EXPECT_EQ(UninstallCommand("C:\\Tools\\Prog\\X.EXE"), "\"c:\\tools\\prog\\x.exe\" uninstall");
}

TEST(UninstallTest, BatchFileClearsReadOnlyAndWaitsBetweenTries) {
  EXPECT_EQ(UninstallBatchText("X.EXE"),
            "@echo off\r\n:loop\r\nattrib -r \"X.EXE\"\r\ndel \"X.EXE\"\r\n"
            "if exist \"X.EXE\" ping -n 2 127.0.0.1 >nul\r\nif exist \"X.EXE\" goto loop\r\n"
            "del %0\r\n");
}

TEST(UninstallTest, PercentInTheNameIsEscapedForTheInterpreter) {
  EXPECT_EQ(UninstallBatchText("100%.exe"),
            "@echo off\r\n:loop\r\nattrib -r \"100%%.exe\"\r\ndel \"100%%.exe\"\r\n"
            "if exist \"100%%.exe\" ping -n 2 127.0.0.1 >nul\r\n"
            "if exist \"100%%.exe\" goto loop\r\ndel %0\r\n");
}

// The program never overwrites a file: a batch name already taken in the
// program's folder makes it draw another.
TEST(UninstallTest, ATakenBatchNameIsPassedOverForAFreshOne) {
  std::mt19937 generator(11);
  std::mt19937 same_draws = generator;
  const std::string taken = "C:\\Apps\\" + RandomName(8, same_draws) + ".bat";
  testing::FakeFileSystem files;
  files.files[taken] = "the user's own";
  testing::FakeRegistry registry;
  testing::FakeShell shell;
  UninstallProgram(registry, files, shell, "C:\\Apps\\pelorin.exe", generator);

  EXPECT_EQ(files.files[taken], "the user's own");
  ASSERT_EQ(files.files.size(), 2u);
  std::string batch;
  for (const auto& [path, text] : files.files) {
    if (path != taken) batch = path;
  }
  EXPECT_EQ(batch, "C:\\Apps\\" + RandomName(8, same_draws) + ".bat") << "the second draw";
  EXPECT_EQ(files.files[batch], UninstallBatchText("pelorin.exe"));
  ASSERT_EQ(shell.starts.size(), 1u);
  EXPECT_EQ(shell.starts[0], (testing::FakeShell::Start{batch, "", "C:\\Apps", kShowHidden}));
}

TEST(UninstallTest, RandomNamesUseDigitsAndLettersOnlyAndVary) {
  std::mt19937 generator(7);
  std::set<std::string> names;
  std::set<char> seen;
  for (int i = 0; i < 200; ++i) {
    const std::string name = RandomName(8, generator);
    ASSERT_EQ(name.size(), 8u);
    for (char c : name) {
      ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
          << name;
      seen.insert(c);
    }
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 200u);
  EXPECT_EQ(seen.size(), 62u);  // every character of the alphabet is reachable
}

}  // namespace
}  // namespace pelorin
