// The registry backend against the system's registry, under a key of its own.
#include "platform/win32/registry_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace pelorin::win32 {
namespace {

class Win32RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = "Software\\PelorinTest\\Run" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(GetTickCount64());
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\PelorinTest");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\PelorinTest");
  }
  bool Exists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }

  Win32Registry registry_;
  std::string base_;
};

TEST_F(Win32RegistryTest, OpensOnlyWhatExistsUnlessAskedToCreate) {
  EXPECT_EQ(registry_.Open(RegistryRoot::CurrentUser, base_, KeyAccess::Full, false), nullptr);
  EXPECT_NE(registry_.Open(RegistryRoot::CurrentUser, base_ + "\\Deep\\Er", KeyAccess::Full, true),
            nullptr);
  EXPECT_TRUE(Exists(base_ + "\\Deep\\Er"));
  EXPECT_NE(registry_.Open(RegistryRoot::CurrentUser, "\\" + base_, KeyAccess::Read, false),
            nullptr);
}

TEST_F(Win32RegistryTest, ValuesKeepTheirTypes) {
  auto key = registry_.Open(RegistryRoot::CurrentUser, base_, KeyAccess::Full, true);
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->WriteString("INI", "C:\\x\\Pelorin.ini"));
  EXPECT_TRUE(key->WriteString("Empty", ""));
  EXPECT_TRUE(key->WriteDword("COMport", 0xFFFFFFFEu));
  EXPECT_EQ(key->ReadString("ini"), "C:\\x\\Pelorin.ini");
  EXPECT_EQ(key->ReadString("Empty"), "");
  EXPECT_EQ(key->ReadDword("comport"), 0xFFFFFFFEu);
  EXPECT_EQ(key->ReadString("COMport"), std::nullopt);
  EXPECT_EQ(key->ReadDword("INI"), std::nullopt);
  EXPECT_EQ(key->ReadString("Nothing"), std::nullopt);

  // Types the store does not accept read as missing.
  HKEY raw = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, base_.c_str(), 0, KEY_ALL_ACCESS, &raw),
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

TEST_F(Win32RegistryTest, DeletesValuesAndSubkeys) {
  auto key = registry_.Open(RegistryRoot::CurrentUser, base_, KeyAccess::Full, true);
  ASSERT_NE(key, nullptr);
  key->WriteString("Pelorin", "c:\\p.exe");
  EXPECT_TRUE(key->DeleteValue("PELORIN"));
  EXPECT_EQ(key->ReadString("Pelorin"), std::nullopt);
  EXPECT_FALSE(key->DeleteValue("Pelorin"));

  auto child =
      registry_.Open(RegistryRoot::CurrentUser, base_ + "\\Child\\Grand", KeyAccess::Full, true);
  ASSERT_NE(child, nullptr);
  child->WriteString("DisplayName", "Pelorin");
  child.reset();
  EXPECT_TRUE(key->DeleteSubKey("Child"));
  EXPECT_FALSE(Exists(base_ + "\\Child"));
  EXPECT_TRUE(Exists(base_));
  EXPECT_FALSE(key->DeleteSubKey("Child"));
  EXPECT_FALSE(key->DeleteSubKey(""));
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
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->WriteString("UninstallString", "C:\\Player\\Uninst.exe"));
  key.reset();

  auto read = registry_.OpenInView(RegistryView::Wow32, RegistryRoot::LocalMachine, path_,
                                   KeyAccess::Read, false);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->ReadString("UninstallString"), "C:\\Player\\Uninst.exe");
  EXPECT_EQ(registry_.OpenInView(RegistryView::Wow64, RegistryRoot::LocalMachine, path_,
                                 KeyAccess::Read, false),
            nullptr);
  EXPECT_EQ(registry_.Open(RegistryRoot::LocalMachine, path_, KeyAccess::Read, false), nullptr)
      << "a 64-bit build's own view is the 64-bit one";

  // Deleting through a key of the 32-bit view deletes in that view only.
  ASSERT_NE(registry_.OpenInView(RegistryView::Wow64, RegistryRoot::LocalMachine, path_,
                                 KeyAccess::Full, true),
            nullptr);
  auto software = registry_.OpenInView(RegistryView::Wow32, RegistryRoot::LocalMachine, "Software",
                                       KeyAccess::Full, false);
  ASSERT_NE(software, nullptr);
  EXPECT_TRUE(software->DeleteSubKey(kName));
  EXPECT_EQ(registry_.OpenInView(RegistryView::Wow32, RegistryRoot::LocalMachine, path_,
                                 KeyAccess::Read, false),
            nullptr);
  EXPECT_NE(registry_.Open(RegistryRoot::LocalMachine, path_, KeyAccess::Read, false), nullptr);
}

}  // namespace
}  // namespace pelorin::win32
