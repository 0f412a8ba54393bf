// The configuration file's encoding against the system's own profile
// functions: older files keep their ANSI bytes, text in any script reads
// back whole.
#include "platform/win32/profile_encoding.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "config/settings_store.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/wide_text.h"
#include "support/fake_registry.h"
#include "win32_test_files.h"

namespace pelorin::win32 {
namespace {

using testing::TemporaryFolder;
using testing::WriteBytes;

// "C:\日本\♫.exe": no ANSI code page holds all of it.
constexpr const char* kWorldPath = "\"C:\\\xE6\x97\xA5\xE6\x9C\xAC\\\xE2\x99\xAB.exe\"";
// As the system reads it: without the quotes.
constexpr const wchar_t* kWorldPathWide = L"C:\\\u65E5\u672C\\\u266B.exe";

// The value as the system's wide profile function reads it.
std::wstring SystemRead(const std::string& file, const wchar_t* section, const wchar_t* key) {
  wchar_t buffer[2048] = {};
  const DWORD length =
      GetPrivateProfileStringW(section, key, L"", buffer, 2048, Widen(file).c_str());
  return std::wstring(buffer, length);
}

struct StoreRig {
  TemporaryFolder folder;
  Win32FileSystem files;
  pelorin::testing::FakeRegistry registry;
  SettingsStore store{files, registry, folder.File("pelorin.exe")};
  std::string path = folder.File("Pelorin.ini");
  StoreRig() { store.Open(); }
  Settings Read() {
    Settings settings;
    store.ReadSettings(settings);
    return settings;
  }
};

TEST(ProfileEncodingTest, AValueOutsideTheCodePageRoundTripsAndTheSystemReadsIt) {
  StoreRig rig;
  Settings settings;
  settings.Slot(PortRole::Primary, 1).Exec1 = kWorldPath;
  rig.store.WriteSettings(settings);

  const std::string bytes = rig.files.ReadWholeFile(rig.path).bytes;
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "UTF-16LE with its mark";
  EXPECT_EQ(SystemRead(rig.path, L"Port1Button1", L"Exec1"), kWorldPathWide);
  EXPECT_EQ(rig.Read(), settings);
  rig.store.WriteSettings(settings);
  EXPECT_EQ(rig.files.ReadWholeFile(rig.path).bytes, bytes) << "a second save changes nothing";
}

TEST(ProfileEncodingTest, AnOlderAnsiFileKeepsItsBytes) {
  if (GetACP() != 1252) GTEST_SKIP() << "the bytes below are Windows-1252";
  StoreRig rig;
  const std::string older = "[Port1Button1]\r\nExec1=\"C:\\M\xFCller\\a.exe\"\r\n";
  ASSERT_TRUE(WriteBytes(rig.path, older));
  Settings settings = rig.Read();
  EXPECT_EQ(settings.Slot(PortRole::Primary, 1).Exec1, "\"C:\\M\xC3\xBCller\\a.exe\"");
  rig.store.WriteSettings(settings);
  const std::string saved = rig.files.ReadWholeFile(rig.path).bytes;
  EXPECT_EQ(saved.rfind(older, 0), 0u) << "the same bytes, in the code page";
  EXPECT_EQ(SystemRead(rig.path, L"Port1Button1", L"Exec1"), L"C:\\M\u00FCller\\a.exe");
}

// Files as other programs write them: each reads as the same UTF-8 text, and
// a save writes them back as they were.
TEST(ProfileEncodingTest, EveryMarkIsHonoured) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string text;
  };
  const std::string ascii = "[A]\r\nK=v\r\n";
  const Case cases[] = {
      {"Ascii", ascii, ascii},
      {"Utf8Mark", "\xEF\xBB\xBF[A]\r\nK=\xE6\x97\xA5\r\n",
       "\xEF\xBB\xBF[A]\r\nK=\xE6\x97\xA5\r\n"},
      {"Utf16Mark", std::string("\xFF\xFE[\0A\0]\0\r\0\n\0K\0=\0\xE5\x65\r\0\n\0", 22),
       "[A]\r\nK=\xE6\x97\xA5\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ProfileBytesToUtf8(c.bytes), c.text);
    EXPECT_EQ(Utf8ToProfileBytes(c.text), c.bytes);
  }
}

}  // namespace
}  // namespace pelorin::win32
