// The UTF-8/UTF-16 border of the wide system calls.
#include "platform/win32/wide_text.h"

#include <gtest/gtest.h>

namespace pelorin::win32 {
namespace {

TEST(WideTextTest, TextInAnyScriptCrossesTheBorderWhole) {
  const std::string utf8 =
      "C:\\Pr\xC3\xBC"
      "fung\\\xE6\x97\xA5\xE6\x9C\xAC\\\xF0\x9F\x8E\xB5.ini";
  const std::wstring wide = Widen(utf8);
  EXPECT_EQ(wide, L"C:\\Pr\u00FCfung\\\u65E5\u672C\\\U0001F3B5.ini");
  EXPECT_EQ(Narrow(wide), utf8);
  EXPECT_EQ(Widen(""), L"");
  EXPECT_EQ(Narrow(L""), "");
}

TEST(WideTextTest, BytesThatAreNotUtf8AreReadInTheAnsiCodePage) {
  // A single byte above 0x7F is never valid UTF-8; an older file holds such
  // bytes in the ANSI code page, one character each.
  const std::wstring wide = Widen("M\xFCller");
  ASSERT_EQ(wide.size(), 6u);
  EXPECT_EQ(wide.substr(0, 1), L"M");
  EXPECT_EQ(wide.substr(2), L"ller");
}

}  // namespace
}  // namespace pelorin::win32
