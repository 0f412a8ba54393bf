// The configuration file's encoding against the system's own profile
// functions: older files keep their ANSI bytes, text in any script reads
// back whole.
#include "platform/win32/profile_encoding.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "config/settings_store.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/wide_text.h"
#include "support/fake_registry.h"
#include "win32_test_files.h"

namespace pelorin::win32 {
namespace {

// The value of Exec1 of the first button as the system's wide profile
// function reads it (without the quotes).
std::wstring SystemRead(const std::string& file) {
  wchar_t buffer[2048] = {};
  return std::wstring(buffer, GetPrivateProfileStringW(L"Port1Button1", L"Exec1", L"", buffer, 2048,
                                                       Widen(file).c_str()));
}

// Each Exec1 is stored through the real file system, read back by the store
// and by the system, and saved again without a change. The file holds it in
// the code page where it can (the bytes of older files), else in UTF-16LE.
TEST(ProfileEncodingTest, ValuesInAnyScriptRoundTripAndTheSystemReadsThem) {
  if (GetACP() != 1252) GTEST_SKIP() << "the ANSI bytes below are Windows-1252";
  struct Case {
    const char* exec;  // UTF-8
    const wchar_t* as_system_reads_it;
    std::string_view stored;  // bytes the file holds
  } const cases[] = {
      {"\"C:\\a.exe\"", L"C:\\a.exe", "Exec1=\"C:\\a.exe\""},
      {"\"C:\\M\xC3\xBCller.exe\"", L"C:\\M\u00FCller.exe", "Exec1=\"C:\\M\xFCller.exe\""},
      {"\"C:\\\xE6\x97\xA5\xE6\x9C\xAC\\\xE2\x99\xAB.exe\"", L"C:\\\u65E5\u672C\\\u266B.exe",
       std::string_view("\xFF\xFE[\0P\0", 6)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.exec);
    testing::TemporaryFolder folder;
    Win32FileSystem files;
    pelorin::testing::FakeRegistry registry;
    SettingsStore store(files, registry, folder.File("pelorin.exe"));
    store.Open();
    Settings settings;
    settings.Slot(PortRole::Primary, 1).Exec1 = c.exec;
    store.WriteSettings(settings);

    const std::string path = folder.File("Pelorin.ini");
    const std::string bytes = files.ReadWholeFile(path).bytes;
    EXPECT_NE(bytes.find(c.stored), std::string::npos);
    EXPECT_EQ(SystemRead(path), c.as_system_reads_it);
    Settings read;
    store.ReadSettings(read);
    EXPECT_EQ(read, settings);
    store.WriteSettings(read);
    EXPECT_EQ(files.ReadWholeFile(path).bytes, bytes);
  }
  // An older file's ANSI byte reads as its character.
  EXPECT_EQ(ProfileBytesToUtf8("K=M\xFCller"), "K=M\xC3\xBCller");
}

// Files as other programs write them keep their form through a save.
TEST(ProfileEncodingTest, ByteOrderMarksAreHonoured) {
  const std::string utf8 = "\xEF\xBB\xBF[A]\r\nK=\xE6\x97\xA5\r\n";
  const std::string utf16("\xFF\xFE[\0A\0]\0\r\0\n\0K\0=\0\xE5\x65\r\0\n\0", 22);
  EXPECT_EQ(Utf8ToProfileBytes(ProfileBytesToUtf8(utf8)), utf8);
  EXPECT_EQ(ProfileBytesToUtf8(utf16), utf8.substr(3));
  EXPECT_EQ(Utf8ToProfileBytes(utf8.substr(3)), utf16);
}

}  // namespace
}  // namespace pelorin::win32
