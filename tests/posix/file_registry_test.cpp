// The file-backed registry of the Linux edition, on real files.
#include "platform/posix/file_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/posix/file_system_posix.h"
#include "temp_folder.h"

namespace pelorin::posix {
namespace {

using testing::Slurp;
using testing::TempFolder;

class FileRegistryTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  PosixFileSystem files_;
  FileRegistry registry_{files_, folder_.path()};
};

TEST_F(FileRegistryTest, KeysExistOnlyWhenCreated) {
  EXPECT_EQ(registry_.Open(RegistryRoot::CurrentUser, "Software\\X", KeyAccess::Read, false),
            nullptr);
  EXPECT_NE(registry_.Open(RegistryRoot::CurrentUser, "\\Software\\X", KeyAccess::Full, true),
            nullptr);
  EXPECT_NE(registry_.Open(RegistryRoot::CurrentUser, "software\\x", KeyAccess::Read, false),
            nullptr);
  EXPECT_EQ(registry_.Open(RegistryRoot::LocalMachine, "Software\\X", KeyAccess::Read, false),
            nullptr);
  // One view: the 32-bit and 64-bit views open the same key.
  EXPECT_NE(registry_.OpenInView(RegistryView::Wow32, RegistryRoot::CurrentUser, "Software\\X",
                                 KeyAccess::Read, false),
            nullptr);
}

TEST_F(FileRegistryTest, ValuesKeepTheirTypesAndOddTextsAcrossInstances) {
  const std::string odd = "C:\\Program Files\\a%20b\r\n\t \"q\" ";
  {
    auto key = registry_.Open(RegistryRoot::CurrentUser, "Software\\Tarvesk\\Pelorin",
                              KeyAccess::Full, true);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->WriteString("INI", odd));
    EXPECT_TRUE(key->WriteString("", "default value"));
    EXPECT_TRUE(key->WriteDword("COMport", 0xFFFFFFFFu));
    EXPECT_TRUE(key->WriteString("name with blanks", ""));
  }
  FileRegistry again(files_, folder_.path());
  auto key =
      again.Open(RegistryRoot::CurrentUser, "SOFTWARE\\TARVESK\\PELORIN", KeyAccess::Read, false);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadString("ini"), odd);
  EXPECT_EQ(key->ReadString(""), "default value");
  EXPECT_EQ(key->ReadDword("comport"), 0xFFFFFFFFu);
  EXPECT_EQ(key->ReadString("COMport"), std::nullopt);
  EXPECT_EQ(key->ReadDword("INI"), std::nullopt);
  EXPECT_EQ(key->ReadString("Name With Blanks"), "");
}

TEST_F(FileRegistryTest, DeletesValuesAndWholeSubtrees) {
  auto run = registry_.Open(RegistryRoot::LocalMachine, "Software\\Run", KeyAccess::Full, true);
  ASSERT_NE(run, nullptr);
  run->WriteString("Pelorin", "/opt/pelorin");
  EXPECT_TRUE(run->DeleteValue("PELORIN"));
  EXPECT_FALSE(run->DeleteValue("Pelorin"));
  registry_.Open(RegistryRoot::LocalMachine, "Software\\Run\\Child\\Grand", KeyAccess::Full, true)
      ->WriteString("a", "b");
  registry_.Open(RegistryRoot::LocalMachine, "Software\\Run\\Children", KeyAccess::Full, true);
  EXPECT_TRUE(run->DeleteSubKey("child"));
  EXPECT_EQ(registry_.Open(RegistryRoot::LocalMachine, "Software\\Run\\Child\\Grand",
                           KeyAccess::Read, false),
            nullptr);
  EXPECT_NE(
      registry_.Open(RegistryRoot::LocalMachine, "Software\\Run\\Children", KeyAccess::Read, false),
      nullptr);
  EXPECT_FALSE(run->DeleteSubKey("Child"));
}

TEST_F(FileRegistryTest, DamagedLinesAreSkipped) {
  ASSERT_TRUE(files_.WriteFileAtomically(
      registry_.FileOf(RegistryRoot::CurrentUser),
      "garbage\nS :K :good :yes\nS :K :bad :%G1\nD :K :n :12x\nD :K :big :4294967296\nX :K :a :b\n"
      "D :K :ok :7\nS :K"));
  auto key = registry_.Open(RegistryRoot::CurrentUser, "K", KeyAccess::Read, false);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadString("good"), "yes");
  EXPECT_EQ(key->ReadString("bad"), std::nullopt);
  EXPECT_EQ(key->ReadDword("n"), std::nullopt);
  EXPECT_EQ(key->ReadDword("big"), std::nullopt);
  EXPECT_EQ(key->ReadString("a"), std::nullopt);
  EXPECT_EQ(key->ReadDword("ok"), 7u);
}

TEST_F(FileRegistryTest, ReadOnlyHiveRefusesFullAccessAndKeepsItsData) {
  registry_.Open(RegistryRoot::LocalMachine, "Software\\Run", KeyAccess::Full, true)
      ->WriteString("v", "1");
  const std::string hive = registry_.FileOf(RegistryRoot::LocalMachine);
  ::chmod(hive.c_str(), 0444);
  EXPECT_EQ(registry_.Open(RegistryRoot::LocalMachine, "Software\\Run", KeyAccess::Full, true),
            nullptr);
  auto key = registry_.Open(RegistryRoot::LocalMachine, "Software\\Run", KeyAccess::Read, false);
  ASSERT_NE(key, nullptr);
  EXPECT_FALSE(key->WriteString("v", "2"));
  EXPECT_EQ(key->ReadString("v"), "1");
}

}  // namespace
}  // namespace pelorin::posix
