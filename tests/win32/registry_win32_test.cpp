// The registry backend against the system's registry, under a key of its own:
// the contract every registry keeps, then the value types and views only
// Windows has.
#include "platform/win32/registry_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "contract/registry_contract.h"
#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

using contract::RegistryContract;

// A key of the test's own under HKEY_CURRENT_USER\Software\PelorinTest,
// removed with everything below it at the end.
class OwnKey {
 public:
  OwnKey()
      : path_("Software\\PelorinTest\\Run" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(GetTickCount64()) + "-" + std::to_string(count_++)) {}
  ~OwnKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\PelorinTest");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\PelorinTest");
  }
  OwnKey(const OwnKey&) = delete;
  OwnKey& operator=(const OwnKey&) = delete;
  const std::string& path() const { return path_; }

 private:
  static inline int count_ = 0;
  std::string path_;
};

class Win32Keys final : public contract::RegistryUnderTest {
 public:
  Registry& registry() override { return registry_; }
  Registry& Again() override { return again_; }
  std::string Base() const override { return key_.path(); }

 private:
  OwnKey key_;
  Win32Registry registry_;
  Win32Registry again_;
};

std::unique_ptr<contract::RegistryUnderTest> MakeWin32Keys() {
  return std::make_unique<Win32Keys>();
}

INSTANTIATE_TEST_SUITE_P(Win32, RegistryContract,
                         ::testing::Values(contract::RegistryBackend{"Win32", &MakeWin32Keys}));

// Types the store does not accept read as missing; a string stored without
// its terminating NUL reads whole. A missing key fails with the system's cause.
TEST(Win32RegistryTest, ValuesOfOtherTypesReadAsMissingAndMissingKeysSayWhy) {
  OwnKey own;
  Win32Registry registry;
  Opened<RegistryKey> missing =
      registry.Open(RegistryRoot::CurrentUser, own.path(), KeyAccess::Read, false);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing.error().operation, "RegOpenKeyEx");
  EXPECT_EQ(missing.error().subject, "HKEY_CURRENT_USER\\" + own.path());

  auto key = registry.Open(RegistryRoot::CurrentUser, own.path(), KeyAccess::Full, true);
  ASSERT_TRUE(key);
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, own.path().c_str(), 0, KEY_ALL_ACCESS, &raw),
            ERROR_SUCCESS);
  const char expand[] = "%TEMP%";
  RegSetValueExA(raw, "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand),
                 sizeof(expand));
  const BYTE bytes[2] = {1, 2};
  RegSetValueExA(raw, "Short", 0, REG_BINARY, bytes, sizeof(bytes));
  const char unterminated[3] = {'a', 'b', 'c'};
  RegSetValueExA(raw, "Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>(unterminated), 3);
  RegCloseKey(raw);
  EXPECT_EQ(key->ReadString("Expand"), std::nullopt);
  EXPECT_EQ(key->ReadDword("Short"), std::nullopt);
  EXPECT_EQ(key->ReadString("Unterminated"), "abc");
}

// Key paths, value names and texts in any script go in and come back whole;
// a value an older version wrote through the ANSI calls reads as the same
// characters it wrote.
TEST(Win32RegistryTest, TextsOutsideTheCodePageRoundTripAndAnsiValuesReadTheSame) {
  OwnKey own;
  const std::string path = own.path() +
                           "\\Pr\xC3\xBC"
                           "fung \xE6\x97\xA5\xE6\x9C\xAC";
  const std::string value = "C:\\Users\\\xCE\xA9\\\xE6\x97\xA5\\\xF0\x9F\x8E\xB5.ini";
  ASSERT_TRUE(Win32Registry()
                  .Open(RegistryRoot::CurrentUser, path, KeyAccess::Full, true)
                  ->WriteString("INI \xE2\x98\x83", value));
  auto key = Win32Registry().Open(RegistryRoot::CurrentUser, path, KeyAccess::Full, false);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadString("INI \xE2\x98\x83"), value);

  const char ansi[] = "C:\\M\xFCller.ini";  // one byte per character, in the ANSI code page
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, Widen(path).c_str(), 0, KEY_SET_VALUE, &raw),
            ERROR_SUCCESS);
  RegSetValueExA(raw, "Old", 0, REG_SZ, reinterpret_cast<const BYTE*>(ansi), sizeof(ansi));
  RegCloseKey(raw);
  EXPECT_EQ(Widen(key->ReadString("Old").value_or("")), Widen(ansi));
}

// Under HKLM\Software a 32-bit program's keys live apart from a 64-bit one's
// (Wine keeps the two views for a 64-bit prefix as Windows does).
class Win32RegistryViewTest : public ::testing::Test {
 protected:
  void SetUp() override { Remove(); }
  void TearDown() override { Remove(); }
  void Remove() {
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
      HKEY software = nullptr;
      if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS | view, &software) ==
          ERROR_SUCCESS) {
        RegDeleteTreeA(software, kName);
        RegCloseKey(software);
      }
    }
  }

  static constexpr const char* kName = "PelorinViewTest";
  const std::string path_ = std::string("Software\\") + kName;
  Win32Registry registry_;
};

TEST_F(Win32RegistryViewTest, TheThirtyTwoBitViewKeepsItsKeysToItself) {
  auto key = registry_.OpenInView(RegistryView::Wow32, RegistryRoot::LocalMachine, path_,
                                  KeyAccess::Full, true);
  ASSERT_TRUE(key);
  EXPECT_TRUE(key->WriteString("UninstallString", "C:\\Player\\Uninst.exe"));
  key.Release();

  auto read = registry_.OpenInView(RegistryView::Wow32, RegistryRoot::LocalMachine, path_,
                                   KeyAccess::Read, false);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->ReadString("UninstallString"), "C:\\Player\\Uninst.exe");
  EXPECT_FALSE(registry_.OpenInView(RegistryView::Wow64, RegistryRoot::LocalMachine, path_,
                                    KeyAccess::Read, false));
  EXPECT_FALSE(registry_.Open(RegistryRoot::LocalMachine, path_, KeyAccess::Read, false))
      << "a 64-bit build's own view is the 64-bit one";

  // Deleting through a key of the 32-bit view deletes in that view only.
  ASSERT_TRUE(registry_.OpenInView(RegistryView::Wow64, RegistryRoot::LocalMachine, path_,
                                   KeyAccess::Full, true));
  auto software = registry_.OpenInView(RegistryView::Wow32, RegistryRoot::LocalMachine, "Software",
                                       KeyAccess::Full, false);
  ASSERT_TRUE(software);
  EXPECT_TRUE(software->DeleteSubKey(kName));
  EXPECT_FALSE(registry_.OpenInView(RegistryView::Wow32, RegistryRoot::LocalMachine, path_,
                                    KeyAccess::Read, false));
  EXPECT_TRUE(registry_.Open(RegistryRoot::LocalMachine, path_, KeyAccess::Read, false));
}

}  // namespace
}  // namespace pelorin::win32
