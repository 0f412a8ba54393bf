// The POSIX file backend against real files, alone and under the settings
// store: the previous configuration must survive every failed save.
#include "platform/posix/file_system_posix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "config/settings_store.h"
#include "platform/posix/file_registry.h"
#include "temp_folder.h"

namespace pelorin::posix {
namespace {

using testing::Slurp;
using testing::TempFolder;

TEST(PosixFileSystemTest, ReplacesWholeFilesKeepingTheirPermissions) {
  TempFolder folder;
  PosixFileSystem files;
  const std::string path = folder.File("a.ini");
  EXPECT_EQ(files.ReadWholeFile(path).status, ReadStatus::NotFound);
  const std::string bytes("[A]\nK=\0\xFF\n", 9);
  ASSERT_TRUE(files.WriteFileAtomically(path, bytes));
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(files.WriteFileAtomically(path, bytes + bytes));
  EXPECT_EQ(files.ReadWholeFile(path).bytes, bytes + bytes);
  struct stat info {};
  ::stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_TRUE(files.FileExists(path));
  EXPECT_FALSE(files.FileExists(folder.path()));
  EXPECT_FALSE(files.FileExists(path + ".new"));
}

TEST(PosixFileSystemTest, FaultsLeaveThePreviousFileAndNoTemporary) {
  TempFolder folder;
  PosixFileSystem files;
  const std::string path = folder.File("ro.ini");
  ASSERT_TRUE(files.WriteFileAtomically(path, "old"));
  ::chmod(path.c_str(), 0444);
  EXPECT_FALSE(files.WriteFileAtomically(path, "new"));
  EXPECT_EQ(Slurp(path), "old");
  EXPECT_FALSE(files.WriteFileAtomically(folder.File("no/such/folder.ini"), "x"));
  EXPECT_EQ(files.ReadWholeFile(folder.File("no/such/folder.ini")).status, ReadStatus::NotFound);
  EXPECT_FALSE(files.WriteFileAtomically(folder.path(), "x"));
  EXPECT_EQ(files.ReadWholeFile(folder.path()).status, ReadStatus::Failed);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(PosixFileSystemTest, OversizedFileIsNotRead) {
  TempFolder folder;
  PosixFileSystem files;
  const std::string path = folder.File("huge.ini");
  ASSERT_TRUE(files.WriteFileAtomically(path, ""));
  std::filesystem::resize_file(path, FileSystem::kMaxFileBytes + 1);
  EXPECT_EQ(files.ReadWholeFile(path).status, ReadStatus::Failed);
}

TEST(PosixSettingsStoreTest, ReadOnlyConfigurationSurvivesASave) {
  TempFolder folder;
  PosixFileSystem files;
  FileRegistry registry(files, folder.path());
  SettingsStore store(files, registry, folder.File("pelorin"), '/');
  store.Open();
  Settings settings;
  settings.Primary.Port = 4;
  store.WriteSettings(settings);
  const std::string saved = Slurp(folder.File("Pelorin.ini"));
  ASSERT_NE(saved.find("Port=4"), std::string::npos);

  ::chmod(folder.File("Pelorin.ini").c_str(), 0444);
  settings.Primary.Port = 5;
  store.WriteSettings(settings);
  EXPECT_EQ(Slurp(folder.File("Pelorin.ini")), saved);
  Settings reread;
  store.ReadSettings(reread);
  EXPECT_EQ(reread.Primary.Port, 4);
}

}  // namespace
}  // namespace pelorin::posix
