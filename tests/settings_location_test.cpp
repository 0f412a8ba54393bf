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

constexpr const char* kExeFolder = "C:\\Program Files\\Pelorin";
constexpr const char* kBeside = "C:\\Program Files\\Pelorin\\Pelorin.ini";
constexpr const char* kAppData = "C:\\Users\\me\\AppData\\Roaming";
constexpr const char* kPerUserFolder = "C:\\Users\\me\\AppData\\Roaming\\Pelorin";
constexpr const char* kPerUser = "C:\\Users\\me\\AppData\\Roaming\\Pelorin\\Pelorin.ini";
constexpr const char* kOldFile = "[Primary]\r\nPort=7\r\n; the user's notes\r\n";

struct LocationCase {
  const char* name;
  friend void PrintTo(const LocationCase& c, std::ostream* out) { *out << c.name; }
  std::function<void(FakeFileSystem&, FakeRegistry&)> arrange;
  const char* expected_path;  // the file in use after the start
  int expected_port;          // read from it
};

class SettingsLocationTest : public ::testing::TestWithParam<LocationCase> {};

TEST_P(SettingsLocationTest, StartUpChoosesTheFileAndSavesGoThere) {
  FakeFileSystem files;
  FakeRegistry registry;
  files.files[kBeside] = kOldFile;
  GetParam().arrange(files, registry);
  SettingsStore store(files, registry, std::string(kExeFolder) + "\\pelorin.exe");
  store.SetPerUserFolder(kAppData);
  int failed_saves = 0;
  store.SetSaveFailureHandler([&](const SaveFailure&) { ++failed_saves; });
  store.Open();

  EXPECT_EQ(store.ConfigPath(), GetParam().expected_path);
  Settings settings;
  store.ReadSettings(settings);
  EXPECT_EQ(settings.Primary.Port, GetParam().expected_port);
  settings.Options.TurboCPS = 42;
  store.WriteSettings(settings);
  EXPECT_EQ(failed_saves, 0);
  EXPECT_NE(files.files[GetParam().expected_path].find("TurboCPS=42"), std::string::npos);
  if (std::string(GetParam().expected_path) != kBeside) {
    EXPECT_EQ(files.files[kBeside], kOldFile) << "the user's original stays, unwritten";
  }
  EXPECT_EQ(registry.Get(RegistryRoot::CurrentUser, kSettingsKeyPath, kConfigPointerName),
            FakeRegistry::Value(std::string(GetParam().expected_path)));

  // The next start finds the same file through the pointer.
  SettingsStore again(files, registry, std::string(kExeFolder) + "\\pelorin.exe");
  again.SetPerUserFolder(kAppData);
  again.Open();
  EXPECT_EQ(again.ConfigPath(), GetParam().expected_path);
}

void CloseProgramFolder(FakeFileSystem& files) {
  files.closed_folders.insert(kExeFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Locations, SettingsLocationTest,
    ::testing::Values(
        LocationCase{"PortableCopyKeepsItsFileBesideIt", [](FakeFileSystem&, FakeRegistry&) {},
                     kBeside, 7},
        LocationCase{"ProtectedFolderTakesTheOldFileOverIntoAppData",
                     [](FakeFileSystem& files, FakeRegistry&) { CloseProgramFolder(files); },
                     kPerUser, 7},
        LocationCase{"AnEarlierCopyInAppDataIsNeverOverwritten",
                     [](FakeFileSystem& files, FakeRegistry&) {
                       CloseProgramFolder(files);
                       files.folders.insert(kPerUserFolder);
                       files.files[kPerUser] = "[Primary]\r\nPort=9\r\n";
                     },
                     kPerUser, 9},
        LocationCase{"APointerToTheFileBesideTheProgramMovesWithIt",
                     [](FakeFileSystem& files, FakeRegistry& registry) {
                       CloseProgramFolder(files);
                       registry.Set(RegistryRoot::CurrentUser, kSettingsKeyPath, kConfigPointerName,
                                    std::string("c:\\program files\\PELORIN\\pelorin.ini"));
                     },
                     kPerUser, 7},
        LocationCase{"APointerToAnotherFileWins",
                     [](FakeFileSystem& files, FakeRegistry& registry) {
                       CloseProgramFolder(files);
                       files.files["D:\\Mine\\p.ini"] = "[Primary]\r\nPort=3\r\n";
                       registry.Set(RegistryRoot::CurrentUser, kSettingsKeyPath, kConfigPointerName,
                                    std::string("D:\\Mine\\p.ini"));
                     },
                     "D:\\Mine\\p.ini", 3}),
    [](const ::testing::TestParamInfo<LocationCase>& info) {
      return std::string(info.param.name);
    });

TEST(SettingsLocationFaultTest, NoFolderForTheUserLeavesTheFileBesideTheProgramAndSaysSo) {
  FakeFileSystem files;
  FakeRegistry registry;
  files.files[kBeside] = kOldFile;
  CloseProgramFolder(files);
  files.closed_folders.insert(kAppData);
  SettingsStore store(files, registry, std::string(kExeFolder) + "\\pelorin.exe");
  store.SetPerUserFolder(kAppData);
  std::vector<std::string> failures;
  store.SetSaveFailureHandler(
      [&](const SaveFailure& failure) { failures.push_back(failure.path); });
  store.Open();
  EXPECT_EQ(store.ConfigPath(), kBeside);
  store.WriteSettings(Settings{});
  EXPECT_EQ(files.files[kBeside], kOldFile);
  EXPECT_EQ(failures, std::vector<std::string>{kBeside});
}

}  // namespace
}  // namespace pelorin
