// Key words and Exec texts of any value, as a hand-edited or damaged
// configuration file may hold them: a key press never leaves a key down, and
// a start never hands the shell a path piece as the file name.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "actions/keys_and_start.h"
#include "support/fake_keyboard.h"
#include "support/fake_shell.h"
#include "support/program_rig.h"

namespace pelorin {
namespace {

using testing::FakeKeyboard;
using testing::ProgramRig;

// Every key that went down came up again, after everything that went down
// after it (modifiers wrap the key), and each went down once.
::testing::AssertionResult Balanced(const std::vector<FakeKeyboard::Event>& events) {
  std::vector<std::uint8_t> down;
  for (const FakeKeyboard::Event& e : events) {
    if (!e.up) {
      down.push_back(e.code);
    } else if (down.empty() || down.back() != e.code) {
      return ::testing::AssertionFailure() << "key " << int(e.code) << " came up out of order";
    } else {
      down.pop_back();
    }
  }
  if (!down.empty()) return ::testing::AssertionFailure() << down.size() << " keys left down";
  return ::testing::AssertionSuccess();
}

TEST(KeyWordTest, EveryKeyWordPressesItsCodeOnceAndLeavesNothingDown) {
  for (std::uint32_t word = 0; word <= 0xFFFF; ++word) {
    FakeKeyboard keyboard;
    PressKey(keyboard, static_cast<std::uint16_t>(word));
    ASSERT_TRUE(Balanced(keyboard.events)) << "key word " << word;
    const int modifiers = ((word >> 8) & 1) + ((word >> 9) & 1) + ((word >> 10) & 1);
    ASSERT_EQ(keyboard.events.size(), static_cast<std::size_t>(2 + 2 * modifiers))
        << "bits above Alt press nothing; key word " << word;
  }
}

TEST(KeyWordTest, EveryCodeHasAName) {
  for (int code : {-2147483647 - 1, -1, 0, 255, 256, 65535, 2147483647}) {
    EXPECT_FALSE(KeyName(code).empty()) << code;
  }
  for (int code = 0; code < 256; ++code) EXPECT_FALSE(KeyName(code).empty()) << code;
}

// A button on the primary port whose press carries out `func` with the key
// word and Exec text as the configuration file spells them.
void ConfigureButton(ProgramRig& rig, int func, const std::string& key, const std::string& exec) {
  rig.files.files[ProgramRig::kIni] =
      "[Primary]\r\nPort=1\r\n[Port1Button1]\r\nMode=1\r\nFunc1=" + std::to_string(func) +
      "\r\nKey1=" + key + "\r\nExec1=" + exec + "\r\n";
}

void PressButtonOne(ProgramRig& rig) {
  rig.Hold(PortRole::Primary, 1);
  rig.Tick();
  rig.Release(PortRole::Primary, 1);
  rig.Tick();
}

class StoredKeyWordTest : public ::testing::TestWithParam<const char*> {};

TEST_P(StoredKeyWordTest, AnyStoredKeyPressesOneKeyAndReleasesAll) {
  ProgramRig rig;
  ConfigureButton(rig, command::kKeyboardButton, GetParam(), "");
  rig.Start();
  PressButtonOne(rig);
  EXPECT_TRUE(Balanced(rig.keyboard.events));
  EXPECT_GE(rig.keyboard.events.size(), 2u);
  EXPECT_LE(rig.keyboard.events.size(), 8u);
  EXPECT_TRUE(rig.boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Texts, StoredKeyWordTest,
                         ::testing::Values("0", "65", "1857", "65535", "65536", "-1", "-65535",
                                           "2147483647", "-2147483648", "99999999999999999999",
                                           "0x7FF", "word", "", "   12   ", "1e9"));

class StoredExecTest : public ::testing::TestWithParam<std::string> {};

TEST_P(StoredExecTest, AnyStoredExecStartsAtMostOneBareFileName) {
  ProgramRig rig;
  ConfigureButton(rig, command::kStartFile, "0", GetParam());
  rig.Start();
  PressButtonOne(rig);
  ASSERT_LE(rig.shell.starts.size(), 1u);
  for (const testing::FakeShell::Start& start : rig.shell.starts) {
    EXPECT_EQ(start.file.find('\\'), std::string::npos);
    EXPECT_EQ(start.file.find('"'), std::string::npos);
    EXPECT_EQ(start.directory.find('"'), std::string::npos);
  }
  EXPECT_TRUE(rig.boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StoredExecTest,
    ::testing::Values(std::string(""), std::string("\""), std::string("\"\"\"\""),
                      std::string("\"C:\\a b\\p.exe\" /x \"y\""), std::string("C:\\bare\\path.exe"),
                      std::string("\\\\\\\\"), std::string("\"\\\""), std::string("'C:\\q.exe'"),
                      std::string("\"C:\\" + std::string(5000, 'x') + ".exe\" " +
                                  std::string(5000, 'p')),
                      std::string("\x01\x7F\xFF\"C:\\\x80\\\x90.exe\"")));

}  // namespace
}  // namespace pelorin
