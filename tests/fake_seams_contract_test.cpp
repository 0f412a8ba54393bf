// The fakes of the file system and the registry keep the contracts the real
// backends keep, so that tests built on them hold for the real program.
#include "contract/file_system_contract.h"
#include "contract/registry_contract.h"
#include "support/fake_file_system.h"
#include "support/fake_registry.h"

namespace pelorin::contract {
namespace {

class FakeFiles final : public FileSystemUnderTest {
 public:
  FakeFiles() { fake_.folders.insert(kFolder); }
  FileSystem& files() override { return fake_; }
  std::string Folder() const override { return kFolder; }
  std::string File(const std::string& name) const override { return kFolder + ("\\" + name); }
  std::string InMissingFolder() override {
    fake_.missing_folders.insert(File("no\\such"));
    return File("no\\such\\folder.ini");
  }
  void MakeReadOnly(const std::string& path) override { fake_.read_only.insert(path); }
  long EntriesInFolder() const override {
    long entries = 0;
    for (const auto& [path, bytes] : fake_.files) {
      const std::string inside = File("");
      entries += path.rfind(inside, 0) == 0 && path.find('\\', inside.size()) == std::string::npos;
    }
    return entries;
  }

 private:
  static constexpr const char* kFolder = "C:\\Contract";
  testing::FakeFileSystem fake_;
};

class FakeKeys final : public RegistryUnderTest {
 public:
  Registry& registry() override { return fake_; }
  Registry& Again() override { return fake_; }  // the data live in the object
  std::string Base() const override { return "Software\\PelorinTest\\Contract"; }

 private:
  testing::FakeRegistry fake_;
};

std::unique_ptr<FileSystemUnderTest> MakeFakeFiles() {
  return std::make_unique<FakeFiles>();
}
std::unique_ptr<RegistryUnderTest> MakeFakeKeys() {
  return std::make_unique<FakeKeys>();
}

INSTANTIATE_TEST_SUITE_P(Fake, FileSystemContract,
                         ::testing::Values(FileSystemBackend{"Fake", &MakeFakeFiles}));
INSTANTIATE_TEST_SUITE_P(Fake, RegistryContract,
                         ::testing::Values(RegistryBackend{"Fake", &MakeFakeKeys}));

}  // namespace
}  // namespace pelorin::contract
