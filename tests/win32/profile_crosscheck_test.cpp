// Our profile reader and writer against the system's own profile functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "config/profile.h"
#include "config/settings_store.h"
#include "platform/win32/file_system_win32.h"
#include "support/fake_registry.h"
#include "win32_test_files.h"

namespace pelorin::win32 {
namespace {

using testing::TemporaryFolder;
using testing::WriteBytes;

constexpr const char* kMissing = "\x01missing\x01";

// The value as GetPrivateProfileStringA returns it with a 2048-byte buffer,
// or nothing when it answers with the default.
std::optional<std::string> SystemRead(const std::string& file, const std::string& section,
                                      const std::string& key) {
  std::string buffer(2048, '\0');
  DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, buffer.data(),
                                          static_cast<DWORD>(buffer.size()), file.c_str());
  buffer.resize(length);
  if (buffer == kMissing) return std::nullopt;
  return buffer;
}

std::vector<std::string> SplitNulList(const std::string& list) {
  std::vector<std::string> parts;
  for (std::size_t start = 0; start < list.size() && list[start] != '\0';) {
    std::size_t end = list.find('\0', start);
    parts.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

std::vector<std::string> SystemSections(const std::string& file) {
  std::string buffer(1 << 16, '\0');
  DWORD length = GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()),
                                                file.c_str());
  return SplitNulList(buffer.substr(0, length + 1));
}

std::vector<std::string> SystemKeys(const std::string& file, const std::string& section) {
  std::string buffer(1 << 16, '\0');
  DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                          static_cast<DWORD>(buffer.size()), file.c_str());
  return SplitNulList(buffer.substr(0, length + 1));
}

std::string ReadBack(const std::string& path) {
  return Win32FileSystem().ReadWholeFile(path).bytes;
}

TEST(ProfileCrossCheckTest, EveryKeyOfOurFileReadsTheSameThroughTheSystem) {
  TemporaryFolder folder;
  const std::string path = folder.File("Pelorin.ini");  // the default beside the executable
  Win32FileSystem files;
  pelorin::testing::FakeRegistry registry;
  SettingsStore store(files, registry, folder.File("pelorin.exe"));
  store.Open();
  Settings settings;
  settings.Primary.Port = 12;
  settings.Options.IfInactive = InactivePolicy::None;
  settings.Slot(PortRole::Primary, 2).Exec1 = "\"C:\\Program Files\\x y\\app.exe\" -a 'b'";
  settings.Slot(PortRole::Secondary, 7).Exec3 = "\"C:\\a.exe\" \"file name.txt\"";
  settings.Slot(PortRole::Secondary, 9).Key3 = 0x7FF;
  store.WriteSettings(settings);

  const ProfileDocument ours = ProfileDocument::Parse(ReadBack(path));
  const std::vector<std::string> sections = SystemSections(path);
  ASSERT_EQ(sections.size(), 33u);
  int keys = 0;
  for (const std::string& section : sections) {
    for (const std::string& key : SystemKeys(path, section)) {
      EXPECT_EQ(ours.Get(section, key), SystemRead(path, section, key)) << section << "/" << key;
      ++keys;
    }
  }
  EXPECT_EQ(keys, 8 + 8 + 10 + 30 * 11);
}

TEST(ProfileCrossCheckTest, FileWrittenByTheSystemReadsTheSame) {
  TemporaryFolder folder;
  const std::string path = folder.File("system.ini");
  const std::vector<std::pair<std::string, std::string>> values = {{"Plain", "value"},
                                                                   {"Spaced", "  a b  "},
                                                                   {"Quoted", "\"q\""},
                                                                   {"Single", "'s'"},
                                                                   {"Mixed", "\"a\" b"},
                                                                   {"Empty", ""},
                                                                   {"Equals", "a=b"},
                                                                   {"Hex", "0x1F"},
                                                                   {"Long", std::string(2100, 'L')},
                                                                   {"Number", "-42"},
                                                                   {"Semicolon", "; not a note"}};
  for (const auto& [key, value] : values) {
    ASSERT_TRUE(WritePrivateProfileStringA("Sec", key.c_str(), value.c_str(), path.c_str()));
  }
  ASSERT_TRUE(WritePrivateProfileStringA("Other Section", "K", "v", path.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("sec", "plain", "changed", path.c_str()));
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // flush the cache

  const ProfileDocument ours = ProfileDocument::Parse(ReadBack(path));
  for (const auto& [key, value] : values) {
    EXPECT_EQ(ours.Get("Sec", key), SystemRead(path, "Sec", key)) << key;
  }
  EXPECT_EQ(ours.Get("Sec", "Plain"), "changed");
  EXPECT_EQ(ours.Get("other section", "k"), SystemRead(path, "Other Section", "K"));
}

struct HandMadeCase {
  const char* name;
  std::string file;
  std::vector<std::pair<std::string, std::string>> probes;  // section, key
};

class HandMadeProfileTest : public ::testing::TestWithParam<HandMadeCase> {};

TEST_P(HandMadeProfileTest, ReadsLikeTheSystem) {
  TemporaryFolder folder;
  const std::string path = folder.File(std::string(GetParam().name) + ".ini");
  ASSERT_TRUE(WriteBytes(path, GetParam().file));
  const ProfileDocument ours = ProfileDocument::Parse(GetParam().file);
  for (const auto& [section, key] : GetParam().probes) {
    EXPECT_EQ(ours.Get(section, key), SystemRead(path, section, key)) << section << "/" << key;
  }
}

const std::vector<std::pair<std::string, std::string>> kAKeys = {
    {"A", "Key"}, {"a", "KEY"}, {"A", "K2"}, {"A", "K3"}, {"A", "K4"}, {"A", "K5"}, {"B", "Key"}};

INSTANTIATE_TEST_SUITE_P(
    Files, HandMadeProfileTest,
    ::testing::Values(
        HandMadeCase{"BlanksAroundEquals", "[A]\r\n  Key \t=  v a l  \r\n\tK2=\t2\t\r\n", kAKeys},
        HandMadeCase{"Quotes", "[A]\nKey=\"x y\"\nK2='q'\nK3=\"x'\nK4=\"\"\"\"\nK5=\"\n", kAKeys},
        HandMadeCase{"QuotedPathAndArguments",
                     "[A]\nKey=\"C:\\a b\\c.exe\" -x \"y\"\nK2=\"C:\\a.exe\" -x\n", kAKeys},
        HandMadeCase{"Hexadecimal", "[A]\nKey=0x1F\nK2=$10\nK3=0X7\n", kAKeys},
        HandMadeCase{"MixedCaseNames",
                     "[oPtIoNs]\nDBLclickSPEED=3\n[a]\nkEy=1\n",
                     {{"Options", "DblClickSpeed"}, {"OPTIONS", "dblclickspeed"}, {"A", "Key"}}},
        HandMadeCase{"Comments", "; top\n[A]\n;Key=1\nKey=2\n# K2=3\nK3=4 ; not a comment\n",
                     kAKeys},
        HandMadeCase{"LfOnly", "[A]\nKey=1\nK2=2\n[B]\nKey=3\n", kAKeys},
        HandMadeCase{"NoFinalLineBreak", "[A]\r\nKey=1\r\nK2=last", kAKeys},
        HandMadeCase{"CarriageReturnsOnly", "[A]\rKey=1\rK2=2\r", kAKeys},
        HandMadeCase{"DuplicateSectionsAndKeys",
                     "[A]\nKey=1\nkey=2\n[a]\nKey=3\nK2=4\n[B]\nKey=5\n[B]\nKey=6\n", kAKeys},
        HandMadeCase{"ByteOrderMark", "\xEF\xBB\xBF[A]\r\nKey=1\r\nK2=2\r\n", kAKeys},
        HandMadeCase{"ByteOrderMarkAlone", "\xEF\xBB\xBF", kAKeys},
        HandMadeCase{"BlanksInsideBrackets", "[ A ]\nKey=1\n[B ]\nKey=2\n", kAKeys},
        HandMadeCase{"BlanksBeforeHeader", "  [A]  \nKey=1\n\t[B]\nKey=2\n", kAKeys},
        HandMadeCase{"TextAfterHeader", "[A] ; note\nKey=1\n[B]x\nKey=2\n", kAKeys},
        HandMadeCase{"LineWithoutEquals", "[A]\nKey\nKey=1\nK2\n", kAKeys},
        HandMadeCase{"KeysBeforeAnySection", "Key=0\nK2=0\n[A]\nKey=1\n", kAKeys},
        HandMadeCase{"EmptyValueAndEqualsInValue", "[A]\nKey=\nK2=a=b\nK3 = = c\n=x\n", kAKeys},
        HandMadeCase{"EmptyFile", "", kAKeys},
        HandMadeCase{"UnclosedHeader", "[A\nKey=1\n[A]\nK2=2\n", kAKeys},
        HandMadeCase{"LongValues",
                     "[A]\nKey=" + std::string(3000, 'v') + "\nK2=\"" + std::string(2000, 'q') +
                         "\"\nK3=" + std::string(2047, 'x') + "\n",
                     kAKeys},
        HandMadeCase{"TabsAndBlankLines", "\n\n[A]\n\n\tKey\t=\t1\t\n\n[B]\n\nKey=2\n\n", kAKeys}),
    [](const ::testing::TestParamInfo<HandMadeCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace pelorin::win32
