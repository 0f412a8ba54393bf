#include "config/profile.h"

#include <gtest/gtest.h>

#include <string>

namespace pelorin {
namespace {

struct IntegerCase {
  const char* text;
  std::optional<std::int32_t> expected;
};

class ProfileIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ProfileIntegerTest, ParsesOnlyDecimalAndLedHexadecimal) {
  EXPECT_EQ(ParseProfileInteger(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ProfileIntegerTest,
    ::testing::Values(IntegerCase{"7", 7}, IntegerCase{"-12", -12}, IntegerCase{"+5", 5},
                      IntegerCase{"0x7", 7}, IntegerCase{"0X1f", 31}, IntegerCase{"$FF", 255},
                      IntegerCase{"0xFFFFFFFF", -1}, IntegerCase{"2147483647", 2147483647},
                      IntegerCase{"-2147483648", INT32_MIN}, IntegerCase{"2147483648", {}},
                      IntegerCase{"99999999999999999999", {}}, IntegerCase{"0x123456789", {}},
                      IntegerCase{"word", {}}, IntegerCase{"", {}}, IntegerCase{"0x", {}},
                      IntegerCase{"$", {}}, IntegerCase{"-", {}}, IntegerCase{"7a", {}},
                      IntegerCase{"0x7g", {}}, IntegerCase{"1.5", {}}, IntegerCase{"--1", {}}));

struct ReadCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  std::optional<std::string> expected;
};

class ProfileReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, ReadsAsTheProfileFunctionsDo) {
  const ReadCase& c = GetParam();
  EXPECT_EQ(ProfileDocument::Parse(c.file).Get(c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileReadTest,
    ::testing::Values(
        ReadCase{"BlanksAroundEquals", "[A]\n  Key \t=  v a l  \n", "A", "Key", "v a l"},
        ReadCase{"DoubleQuotesRemoved", "[A]\nKey=\"x y\"\n", "A", "Key", "x y"},
        ReadCase{"SingleQuotesRemoved", "[A]\nKey='x'\n", "A", "Key", "x"},
        ReadCase{"OnlyOnePairRemoved", "[A]\nKey=\"\"x\"\"\n", "A", "Key", "\"x\""},
        ReadCase{"MismatchedQuotesKept", "[A]\nKey=\"x'\n", "A", "Key", "\"x'"},
        ReadCase{"LoneQuoteKept", "[A]\nKey=\"\n", "A", "Key", "\""},
        ReadCase{"QuotedPathWithArgumentsKept", "[A]\nKey=\"C:\\a.exe\" -x\n", "A", "Key",
                 "\"C:\\a.exe\" -x"},
        ReadCase{"NamesIgnoreCase", "[oPtIoNs]\nDBLclickSPEED=3\n", "Options", "DblClickSpeed",
                 "3"},
        ReadCase{"EmptyValue", "[A]\nKey=\n", "A", "Key", ""},
        ReadCase{"LineWithoutEqualsIsMissing", "[A]\nKey\n", "A", "Key", std::nullopt},
        ReadCase{"LineWithoutEqualsHidesLaterKey", "[A]\nKey\nKey=1\n", "A", "Key", std::nullopt},
        ReadCase{"FirstOfDuplicateKeysWins", "[A]\nKey=1\nkey=2\n", "A", "Key", "1"},
        ReadCase{"FirstOfDuplicateSectionsWins", "[A]\nKey=1\n[a]\nKey=2\n", "A", "Key", "1"},
        ReadCase{"LaterDuplicateSectionIsNotSearched", "[A]\nX=1\n[A]\nKey=2\n", "A", "Key",
                 std::nullopt},
        ReadCase{"CrLfLineEnds", "[A]\r\nKey=1\r\nNext=2\r\n", "A", "Next", "2"},
        ReadCase{"LoneCarriageReturnsEndLines", "[A]\rKey=1\rNext=2", "A", "Next", "2"},
        ReadCase{"BlanksInsideBrackets", "[ A\t]\nKey=1\n", "A", "Key", "1"},
        ReadCase{"NoFinalLineBreak", "[A]\nKey=last", "A", "Key", "last"},
        ReadCase{"Utf8ByteOrderMarkSkipped", "\xEF\xBB\xBF[A]\nKey=1\n", "A", "Key", "1"},
        ReadCase{"CommentIsNotAKey", "[A]\n;Key=1\n", "A", "Key", std::nullopt},
        ReadCase{"TextAfterHeaderIgnored", "[A] ; note\nKey=1\n", "A", "Key", "1"},
        ReadCase{"KeyBeforeAnySectionNotInSection", "Key=1\n[A]\n", "A", "Key", std::nullopt},
        ReadCase{"MissingSection", "[A]\nKey=1\n", "B", "Key", std::nullopt},
        ReadCase{"ValueEndsAtNul", std::string("[A]\nKey=ab\0cd\n", 14), "A", "Key", "ab"},
        ReadCase{"LongValueCut", "[A]\nKey=" + std::string(5000, 'v') + "\n", "A", "Key",
                 std::string(2047, 'v')},
        ReadCase{"QuotesRemovedBeforeCut", "[A]\nKey=\"" + std::string(2047, 'v') + "\"\n", "A",
                 "Key", std::string(2047, 'v')},
        // "日" is three bytes; the cut at 2047 would fall inside the second one.
        ReadCase{"CutNeverSplitsACharacter",
                 "[A]\nKey=" + std::string(2045, 'v') + "\xE6\x97\xA5\xE6\x97\xA5\n", "A", "Key",
                 std::string(2045, 'v')}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ProfileDocumentTest, UntouchedDocumentIsWrittenBackUnchanged) {
  const std::string file = "; settings\n[Options]\nWarn = 1\n\n[Mine]\nkey without value\n";
  EXPECT_EQ(ProfileDocument::Parse(file).Serialize(), file);
}

TEST(ProfileDocumentTest, SetKeepsUnknownTextAndPlaces) {
  ProfileDocument document =
      ProfileDocument::Parse("; top\n[options]\nwarn=1\nOther=x\n\n[Mine]\nA=1\n");
  document.Set("Options", "Warn", "0");
  document.Set("Options", "TurboCPS", "25");
  document.Set("Primary", "Port", "2");
  EXPECT_EQ(document.Serialize(),
            "; top\n[options]\nwarn=0\nOther=x\nTurboCPS=25\n\n[Mine]\nA=1\n\n[Primary]\nPort=2\n");
}

TEST(ProfileDocumentTest, SetOnDuplicatesChangesTheEntryThatIsRead) {
  ProfileDocument document = ProfileDocument::Parse("[A]\nK=1\nK=2\n[A]\nK=3\n");
  document.Set("a", "k", "9");
  EXPECT_EQ(document.Serialize(), "[A]\nK=9\nK=2\n[A]\nK=3\n");
  EXPECT_EQ(document.Get("A", "K"), "9");
}

// Short sections are searched in order and long ones through an index;
// either way the first entry of a name answers, also after a new key went
// in among the entries (before the blank lines that end the section).
TEST(ProfileDocumentTest, SectionsOfAnyLengthAnswerTheFirstEntryOfAName) {
  for (int names : {2, 15, 16, 17, 100}) {
    std::string file = "[S]\n";
    for (int i = 0; i < names; ++i) {
      file += "K" + std::to_string(i) + "=" + std::to_string(i) + "\nk" + std::to_string(i) + "=x\n";
    }
    ProfileDocument document = ProfileDocument::Parse(file + "\n\n");
    document.Set("s", "New", "n");
    document.Set("S", "k0", "changed");
    for (int i = 1; i < names; ++i) {
      EXPECT_EQ(document.Get("S", "k" + std::to_string(i)), std::to_string(i)) << names;
    }
    EXPECT_EQ(document.Get("S", "K0"), "changed") << names;
    EXPECT_EQ(document.Get("S", "NEW"), "n") << names;
    EXPECT_EQ(document.Get("S", "missing"), std::nullopt) << names;
  }
}

TEST(ProfileDocumentTest, KeepsLineEndsAndByteOrderMark) {
  ProfileDocument document = ProfileDocument::Parse("\xEF\xBB\xBF[A]\r\nK=1");
  document.Set("A", "L", "2");
  EXPECT_EQ(document.Serialize(), "\xEF\xBB\xBF[A]\r\nK=1\r\nL=2\r\n");
}

TEST(ProfileDocumentTest, NewDocumentUsesWindowsLineEnds) {
  ProfileDocument document;
  document.Set("A", "K", "1");
  document.Set("B", "K", "2");
  EXPECT_EQ(document.Serialize(), "[A]\r\nK=1\r\n\r\n[B]\r\nK=2\r\n");
}

TEST(ProfileDocumentTest, LineBreakInValueCannotCreateKeys) {
  ProfileDocument document;
  document.Set("A", "K", "x\r\n[B]\nL=1");
  ProfileDocument reread = ProfileDocument::Parse(document.Serialize());
  EXPECT_EQ(reread.Get("A", "K"), "x  [B] L=1");
  EXPECT_EQ(reread.Get("B", "L"), std::nullopt);
}

TEST(ProfileDocumentTest, BinaryJunkSurvivesASave) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 131 + 7) % 256);
  ProfileDocument document = ProfileDocument::Parse(junk);
  document.Set("Options", "Warn", "1");
  ProfileDocument reread = ProfileDocument::Parse(document.Serialize());
  EXPECT_EQ(reread.Get("Options", "Warn"), "1");
}

TEST(ProfileDocumentTest, HugeFileIsReadAndChanged) {
  std::string big = "[Options]\nWarn=0\n[Filler]\n";
  std::string line = "key=" + std::string(100, 'f') + "\n";
  while (big.size() < 10u * 1024 * 1024) big += line;
  ProfileDocument document = ProfileDocument::Parse(big);
  EXPECT_EQ(document.Get("Options", "Warn"), "0");
  document.Set("Options", "Warn", "1");
  std::string saved = document.Serialize();
  EXPECT_EQ(saved.size(), big.size());
  EXPECT_EQ(ProfileDocument::Parse(saved).Get("Options", "Warn"), "1");
}

}  // namespace
}  // namespace pelorin
