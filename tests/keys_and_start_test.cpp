#include "actions/keys_and_start.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

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

// Every code a key word can hold, against the whole table of names: a name
// missing, added or misspelt shows.
TEST(KeyNameTest, EveryCodeHasItsName) {
  std::map<int, std::string> expected = {
      {8, "Backspace"},     {13, "Enter"},   {16, "Shift"},     {17, "Ctrl"},
      {18, "Alt"},          {19, "Pause"},   {20, "Caps Lock"}, {27, "Escape"},
      {32, "Space"},        {33, "Page Up"}, {34, "Page Dn"},   {35, "End"},
      {36, "Home"},         {37, "Left"},    {38, "Up"},        {39, "Right"},
      {40, "Down"},         {45, "Insert"},  {46, "Delete"},    {91, "Left Win"},
      {92, "Right Win"},    {93, "Popup"},   {106, "Num *"},    {107, "Num +"},
      {109, "Num -"},       {110, "Num ."},  {111, "Num /"},    {144, "Num Lock"},
      {145, "Scroll Lock"}, {186, ";"},      {187, "="},        {188, ","},
      {189, "-"},           {190, "."},      {191, "/"},        {192, "~"},
      {219, "["},           {220, "\\"},     {221, "]"},        {222, "'"},
      {226, "Left \\"}};
  for (int code = '0'; code <= '9'; ++code)
    expected[code] = std::string(1, static_cast<char>(code));
  for (int code = 'A'; code <= 'Z'; ++code)
    expected[code] = std::string(1, static_cast<char>(code));
  for (int digit = 0; digit <= 9; ++digit) expected[96 + digit] = "Num " + std::to_string(digit);
  for (int n = 1; n <= 12; ++n) expected[111 + n] = "F" + std::to_string(n);
  for (int code = 0; code <= 255; ++code) {
    const auto named = expected.find(code);
    EXPECT_EQ(KeyName(code), named == expected.end() ? "#" + std::to_string(code) : named->second)
        << "code " << code;
  }
}

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
  char separator = '\\';
};

class ExecSplitTest : public ::testing::TestWithParam<ExecCase> {};

TEST_P(ExecSplitTest, StartsTheFileInItsFolderWithTheRestAsParameters) {
  FakeShell shell;
  StartExec(shell, GetParam().exec, GetParam().separator);
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
        // Linux paths part at slashes; a backslash there is part of a name.
        ExecCase{"\"/usr/bin/touch\" \"/tmp/a b\"", {"touch", " \"/tmp/a b\"", "/usr/bin"}, '/'},
        ExecCase{"\"/srv/x\\y.sh\"", {"x\\y.sh", "", "/srv"}, '/'},
        ExecCase{"\"" + kLongFolder + "\\" + std::string(85, 'n') + ".exe\"" + kLongParameters,
                 {std::string(85, 'n') + ".exe", kLongParameters, kLongFolder}}));

}  // namespace
}  // namespace pelorin
