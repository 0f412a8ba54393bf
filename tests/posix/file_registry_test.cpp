// The file-backed registry of the Linux edition, on real files: the contract
// every registry keeps, then what only the file format has.
#include "platform/posix/file_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "contract/registry_contract.h"
#include "platform/posix/file_system_posix.h"
#include "temp_folder.h"

namespace pelorin::posix {
namespace {

using contract::RegistryContract;
using testing::TempFolder;

class FileRegistryTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  PosixFileSystem files_;
  FileRegistry registry_{files_, folder_.path()};
};

class PosixKeys final : public contract::RegistryUnderTest {
 public:
  Registry& registry() override { return registry_; }
  Registry& Again() override {
    again_ = std::make_unique<FileRegistry>(files_, folder_.path());
    return *again_;
  }
  std::string Base() const override { return "Software\\Tarvesk\\Pelorin"; }

 private:
  TempFolder folder_;
  PosixFileSystem files_;
  FileRegistry registry_{files_, folder_.path()};
  std::unique_ptr<FileRegistry> again_;
};

std::unique_ptr<contract::RegistryUnderTest> MakePosixKeys() {
  return std::make_unique<PosixKeys>();
}

INSTANTIATE_TEST_SUITE_P(Posix, RegistryContract,
                         ::testing::Values(contract::RegistryBackend{"Posix", &MakePosixKeys}));

// One view: the 32-bit and 64-bit views open the same key.
TEST_F(FileRegistryTest, EveryViewOpensTheSameKey) {
  ASSERT_TRUE(registry_.Open(RegistryRoot::CurrentUser, "\\Software\\X", KeyAccess::Full, true));
  EXPECT_TRUE(registry_.OpenInView(RegistryView::Wow32, RegistryRoot::CurrentUser, "Software\\X",
                                   KeyAccess::Read, false));
}

TEST_F(FileRegistryTest, DamagedLinesAreSkipped) {
  ASSERT_TRUE(files_.WriteFileAtomically(
      registry_.FileOf(RegistryRoot::CurrentUser),
      "garbage\nS :K :good :yes\nS :K :bad :%G1\nD :K :n :12x\nD :K :big :4294967296\nX :K :a :b\n"
      "D :K :ok :7\nS :K"));
  auto key = registry_.Open(RegistryRoot::CurrentUser, "K", KeyAccess::Read, false);
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ReadString("good"), "yes");
  EXPECT_EQ(key->ReadString("bad"), std::nullopt);
  EXPECT_EQ(key->ReadDword("n"), std::nullopt);
  EXPECT_EQ(key->ReadDword("big"), std::nullopt);
  EXPECT_EQ(key->ReadString("a"), std::nullopt);
  EXPECT_EQ(key->ReadDword("ok"), 7u);
}

TEST_F(FileRegistryTest, ReadOnlyHiveRefusesFullAccessAndKeepsItsData) {
  ASSERT_TRUE(registry_.Open(RegistryRoot::LocalMachine, "Software\\Run", KeyAccess::Full, true)
                  ->WriteString("v", "1"));
  const std::string hive = registry_.FileOf(RegistryRoot::LocalMachine);
  ::chmod(hive.c_str(), 0444);
  EXPECT_FALSE(registry_.Open(RegistryRoot::LocalMachine, "Software\\Run", KeyAccess::Full, true));
  auto key = registry_.Open(RegistryRoot::LocalMachine, "Software\\Run", KeyAccess::Read, false);
  ASSERT_TRUE(key);
  EXPECT_FALSE(key->WriteString("v", "2"));
  EXPECT_EQ(key->ReadString("v"), "1");
}

}  // namespace
}  // namespace pelorin::posix
