// The POSIX file backend against real files: the contract every file system
// keeps, then what only POSIX has (modes, owners, links, folders the user may
// not write), alone and under the settings store: the previous configuration
// must survive every failed save.
#include "platform/posix/file_system_posix.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "config/settings_store.h"
#include "contract/file_system_contract.h"
#include "platform/posix/file_registry.h"
#include "temp_folder.h"

namespace pelorin::posix {
namespace {

using contract::FileSystemContract;
using testing::Slurp;
using testing::TempFolder;

long EntriesIn(const TempFolder& folder) {
  return contract::EntriesIn(folder.path());
}

INSTANTIATE_TEST_SUITE_P(
    Posix, FileSystemContract,
    ::testing::Values(contract::RealFiles<PosixFileSystem, TempFolder>::Named("Posix")));

TEST(PosixFileSystemTest, ReplacementKeepsThePermissions) {
  TempFolder folder;
  PosixFileSystem files;
  const std::string path = folder.File("a.ini");
  const std::string bytes("[A]\nK=\0\xFF\n", 9);
  ASSERT_TRUE(files.WriteFileAtomically(path, bytes));
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(files.WriteFileAtomically(path, bytes + bytes));
  EXPECT_EQ(files.ReadWholeFile(path).bytes, bytes + bytes);
  struct stat info {};
  ::stat(path.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// A save through a link writes the file it names and keeps its mode and owner
// (another user's when the tests may give files away); a user's own
// "<name>.new" is never touched.
TEST(PosixFileSystemTest, SaveThroughALinkKeepsTheFileAndItsNeighbours) {
  TempFolder folder;
  PosixFileSystem files;
  const std::string real = folder.File("Pelorin.ini");
  const std::string link = folder.File("link.ini");
  ASSERT_TRUE(files.CreateNewFile(real, "old") && files.CreateNewFile(real + ".new", "mine"));
  const uid_t owner = ::geteuid() == 0 ? 65534 : ::geteuid();
  ASSERT_EQ(::symlink("Pelorin.ini", link.c_str()) |
                ::chown(real.c_str(), owner, static_cast<gid_t>(-1)) | ::chmod(real.c_str(), 0640),
            0);
  ASSERT_TRUE(files.WriteFileAtomically(link, "new"));
  struct stat link_info {};
  struct stat info {};
  ASSERT_EQ(::lstat(link.c_str(), &link_info) | ::stat(real.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(link_info.st_mode));
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(info.st_uid, owner);
  EXPECT_EQ(Slurp(real) + Slurp(real + ".new"), "newmine");
  EXPECT_EQ(EntriesIn(folder), 3);
}

// Saves `bytes` from a child process that writes files of at most
// `size_limit` bytes, as an ordinary user when the tests run as root (whom
// no permission stops). Returns the child's exit status: 0 saved, 1 not.
int SaveAsOrdinaryUser(const std::string& path, std::string_view bytes, rlim_t size_limit) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 &&
        (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
         ::setresuid(65534, 65534, 65534) != 0)) {
      ::_exit(2);
    }
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{size_limit, size_limit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(PosixFileSystem().WriteFileAtomically(path, bytes) ? 0 : 1);
  }
  int status = -1;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PosixFileSystemTest, ClosedFolderIsWrittenInPlaceAndFullDiskKeepsTheFile) {
  struct Case {
    const char* what;
    mode_t folder_mode;
    rlim_t size_limit;
    bool saved;
  };
  const Case cases[] = {
      {"folder closed, file writable: written in place", 0555, RLIM_INFINITY, true},
      {"folder closed, no room to grow: unchanged", 0555, 8, false},
      {"no room for the temporary: unchanged", 0777, 8, false},
  };
  const std::string bytes = "[Options]\nWarn=1\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    const std::string path = folder.File("Pelorin.ini");
    ASSERT_TRUE(PosixFileSystem().CreateNewFile(path, "old") &&
                PosixFileSystem().CreateNewFile(path + ".new", "mine"));
    ASSERT_EQ(::chmod(path.c_str(), 0666) | ::chmod(folder.path().c_str(), c.folder_mode), 0);
    EXPECT_EQ(SaveAsOrdinaryUser(path, bytes, c.size_limit), c.saved ? 0 : 1);
    EXPECT_EQ(Slurp(path) + Slurp(path + ".new"), (c.saved ? bytes : "old") + "mine");
    EXPECT_EQ(EntriesIn(folder), 2);
  }
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
