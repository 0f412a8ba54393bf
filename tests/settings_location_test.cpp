// Where the configuration file lives: beside the program where this user may
// create files there, else in the user's own application-data folder.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "config/settings_store.h"
#include "support/fake_file_system.h"
#include "support/fake_registry.h"

namespace pelorin {
namespace {

using testing::FakeFileSystem;
using testing::FakeRegistry;

constexpr const char* kExe = "C:\\Program Files\\Pelorin\\pelorin.exe";
constexpr const char* kBeside = "C:\\Program Files\\Pelorin\\Pelorin.ini";
constexpr const char* kAppData = "C:\\Users\\me\\AppData\\Roaming";
constexpr const char* kPerUser = "C:\\Users\\me\\AppData\\Roaming\\Pelorin\\Pelorin.ini";
constexpr const char* kOldFile = "[Primary]\r\nPort=7\r\n; the user's notes\r\n";

struct LocationCase {
  const char* name;
  std::function<void(FakeFileSystem&, FakeRegistry&)> arrange;
  const char* expected_path;  // the file in use after the start
  int expected_port;          // read from it
  bool saves = true;          // whether saves reach it
  friend void PrintTo(const LocationCase& c, std::ostream* out) { *out << c.name; }
};

void Protect(FakeFileSystem& files, FakeRegistry& registry, const char* pointer = nullptr) {
  files.closed_folders.insert("C:\\Program Files\\Pelorin");
  if (pointer) {
    registry.Set(RegistryRoot::CurrentUser, kSettingsKeyPath, kConfigPointerName,
                 std::string(pointer));
  }
}

class SettingsLocationTest : public ::testing::TestWithParam<LocationCase> {
 protected:
  std::string OpenStore() {
    SettingsStore store(files_, registry_, kExe);
    store.SetPerUserFolder(kAppData);
    store.Open();
    return store.ConfigPath();
  }
  FakeFileSystem files_;
  FakeRegistry registry_;
};

TEST_P(SettingsLocationTest, StartUpChoosesTheFileAndSavesGoThere) {
  const LocationCase& c = GetParam();
  files_.files[kBeside] = kOldFile;
  c.arrange(files_, registry_);
  SettingsStore store(files_, registry_, kExe);
  store.SetPerUserFolder(kAppData);
  int failed_saves = 0;
  store.SetSaveFailureHandler(
      [&](const SaveFailure& f) { failed_saves += f.path == c.expected_path; });
  store.Open();
  ASSERT_EQ(store.ConfigPath(), c.expected_path);
  Settings settings;
  store.ReadSettings(settings);
  EXPECT_EQ(settings.Primary.Port, c.expected_port);
  settings.Options.TurboCPS = 42;
  store.WriteSettings(settings);

  EXPECT_EQ(failed_saves, c.saves ? 0 : 1);
  EXPECT_EQ(files_.files[c.expected_path].find("TurboCPS=42") != std::string::npos, c.saves);
  if (c.expected_path != std::string(kBeside)) {
    EXPECT_EQ(files_.files[kBeside], kOldFile) << "the user's original stays";
  }
  EXPECT_EQ(OpenStore(), c.expected_path) << "the next start finds the same file";
}

INSTANTIATE_TEST_SUITE_P(
    Locations, SettingsLocationTest,
    ::testing::Values(
        LocationCase{"PortableCopy", [](FakeFileSystem&, FakeRegistry&) {}, kBeside, 7},
        LocationCase{"ProtectedFolderHandsTheFileOver",
                     [](FakeFileSystem& f, FakeRegistry& r) { Protect(f, r); }, kPerUser, 7},
        LocationCase{"AnEarlierCopyIsNeverOverwritten",
                     [](FakeFileSystem& f, FakeRegistry& r) {
                       Protect(f, r);
                       f.files[kPerUser] = "[Primary]\r\nPort=9\r\n";
                     },
                     kPerUser, 9},
        LocationCase{"APointerToTheFileBesideFollowsIt",
                     [](FakeFileSystem& f, FakeRegistry& r) {
                       Protect(f, r, "c:\\program files\\PELORIN\\pelorin.ini");
                     },
                     kPerUser, 7},
        LocationCase{"APointerToAnotherFileWins",
                     [](FakeFileSystem& f, FakeRegistry& r) {
                       Protect(f, r, "D:\\p.ini");
                       f.files["D:\\p.ini"] = "[Primary]\r\nPort=3\r\n";
                     },
                     "D:\\p.ini", 3},
        LocationCase{"NoUserFolderKeepsTheFileBesideAndSaysSo",
                     [](FakeFileSystem& f, FakeRegistry& r) {
                       Protect(f, r);
                       f.closed_folders.insert(kAppData);
                     },
                     kBeside, 7, false}),
    [](const ::testing::TestParamInfo<LocationCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace pelorin
