#include "actions/keys_and_start.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "actions/text_split.h"
#include "support/fake_keyboard.h"
#include "support/fake_shell.h"

namespace pelorin {
namespace {

using testing::FakeKeyboard;
using testing::FakeShell;
using Event = FakeKeyboard::Event;
using ::testing::ElementsAre;

TEST(PressKeyTest, ModifiersGoDownAltCtrlShiftAndComeUpReversed) {
  FakeKeyboard keyboard;
  PressKey(keyboard, 0x0741);
  EXPECT_THAT(
      keyboard.events,
      ElementsAre(Event{0x12, false}, Event{0x11, false}, Event{0x10, false}, Event{0x41, false},
                  Event{0x41, true}, Event{0x10, true}, Event{0x11, true}, Event{0x12, true}));
}

TEST(PressKeyTest, AltCtrlA) {
  FakeKeyboard keyboard;
  PressKey(keyboard, 0x0641);
  EXPECT_THAT(keyboard.events,
              ElementsAre(Event{0x12, false}, Event{0x11, false}, Event{0x41, false},
                          Event{0x41, true}, Event{0x11, true}, Event{0x12, true}));
}

TEST(PressKeyTest, KeyWordZeroPressesCodeZeroOnly) {
  FakeKeyboard keyboard;
  PressKey(keyboard, 0);
  EXPECT_THAT(keyboard.events, ElementsAre(Event{0, false}, Event{0, true}));
}

class KeyNameTest : public ::testing::TestWithParam<std::pair<int, std::string>> {};

TEST_P(KeyNameTest, NamesTheCode) {
  EXPECT_EQ(KeyName(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, KeyNameTest,
    ::testing::Values(std::pair{48, "0"}, std::pair{57, "9"}, std::pair{65, "A"},
                      std::pair{90, "Z"}, std::pair{96, "Num 0"}, std::pair{105, "Num 9"},
                      std::pair{34, "Page Dn"}, std::pair{3, "#3"}, std::pair{226, "Left \\"},
                      std::pair{220, "\\"}, std::pair{112, "F1"}, std::pair{123, "F12"},
                      std::pair{124, "#124"}, std::pair{108, "#108"}, std::pair{0, "#0"},
                      std::pair{255, "#255"}, std::pair{145, "Scroll Lock"}, std::pair{97, "Num 1"},
                      std::pair{91, "Left Win"}));

struct SplitCase {
  std::string text;
  char c;
  SplitAt at;
  SplitTake take;
  std::string expected;
};

class SplitAtCharTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitAtCharTest, KeepsTheChosenSide) {
  const SplitCase& p = GetParam();
  EXPECT_EQ(SplitAtChar(p.text, p.c, p.at, p.take), p.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitAtCharTest,
    ::testing::Values(SplitCase{"a\\b\\c", '\\', SplitAt::First, SplitTake::Before, "a"},
                      SplitCase{"a\\b\\c", '\\', SplitAt::First, SplitTake::After, "b\\c"},
                      SplitCase{"a\\b\\c", '\\', SplitAt::Last, SplitTake::Before, "a\\b"},
                      SplitCase{"a\\b\\c", '\\', SplitAt::Last, SplitTake::After, "c"},
                      // Without the character: before-last and after-first keep all.
                      SplitCase{"abc", '\\', SplitAt::First, SplitTake::Before, ""},
                      SplitCase{"abc", '\\', SplitAt::First, SplitTake::After, "abc"},
                      SplitCase{"abc", '\\', SplitAt::Last, SplitTake::Before, "abc"},
                      SplitCase{"abc", '\\', SplitAt::Last, SplitTake::After, ""},
                      SplitCase{"\\", '\\', SplitAt::Last, SplitTake::After, ""}));

struct ExecCase {
  std::string exec;
  ExecParts parts;
};

class ExecSplitTest : public ::testing::TestWithParam<ExecCase> {};

TEST_P(ExecSplitTest, StartsTheFileInItsFolderWithTheRestAsParameters) {
  FakeShell shell;
  StartExec(shell, GetParam().exec);
  const ExecParts& p = GetParam().parts;
  EXPECT_THAT(shell.starts,
              ElementsAre(FakeShell::Start{p.file, p.parameters, p.directory, kShowNormal}));
}

const std::string kLongFolder = "C:\\" + std::string(90, 'f');
const std::string kLongParameters = " " + std::string(100, 'p');

INSTANTIATE_TEST_SUITE_P(
    Examples, ExecSplitTest,
    ::testing::Values(
        ExecCase{"\"C:\\Tools\\app.exe\" -x", {"app.exe", " -x", "C:\\Tools"}},
        ExecCase{"\"C:\\Music\\list.m3u\"", {"list.m3u", "", "C:\\Music"}},
        ExecCase{"C:\\Tools\\app.exe", {"", "C:\\Tools\\app.exe", ""}},  // unquoted
        ExecCase{"\"app.exe\"", {"", "", "app.exe"}},                    // no folder
        ExecCase{"", {"", "", ""}}, ExecCase{"\"\"", {"", "", ""}},
        ExecCase{"junk \"C:\\a\\b.exe\"  two  blanks", {"b.exe", "  two  blanks", "C:\\a"}},
        ExecCase{"\"C:\\a\\b.exe", {"", "C:\\a\\b.exe", ""}},  // no closing quote
        ExecCase{"\"" + kLongFolder + "\\" + std::string(85, 'n') + ".exe\"" + kLongParameters,
                 {std::string(85, 'n') + ".exe", kLongParameters, kLongFolder}}));

}  // namespace
}  // namespace pelorin
