// The file backend against real files: the contract every file system keeps,
// then what only Windows has (attributes, files held open by others).
#include "platform/win32/file_system_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "contract/file_system_contract.h"
#include "platform/win32/unique_handle.h"
#include "win32_test_files.h"

namespace pelorin::win32 {
namespace {

using contract::FileSystemContract;
using testing::TemporaryFolder;
using testing::WriteBytes;

long EntriesIn(const TemporaryFolder& folder) {
  using std::filesystem::directory_iterator;
  return std::distance(directory_iterator(folder.path()), directory_iterator());
}

class Win32Files final : public contract::FileSystemUnderTest {
 public:
  FileSystem& files() override { return files_; }
  std::string Folder() const override { return folder_.path(); }
  std::string File(const std::string& name) const override { return folder_.File(name); }
  std::string InMissingFolder() override { return folder_.File("no\\such\\folder.ini"); }
  void MakeReadOnly(const std::string& path) override {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  }
  long EntriesInFolder() const override { return EntriesIn(folder_); }

 private:
  TemporaryFolder folder_;
  Win32FileSystem files_;
};

std::unique_ptr<contract::FileSystemUnderTest> MakeWin32Files() {
  return std::make_unique<Win32Files>();
}

INSTANTIATE_TEST_SUITE_P(Win32, FileSystemContract,
                         ::testing::Values(contract::FileSystemBackend{"Win32", &MakeWin32Files}));

// A user's file named as temporaries once were is never written or removed,
// by a save that creates the file, one that replaces it, or one that fails;
// a replaced file keeps its attributes.
TEST(Win32FileSystemTest, SavesKeepAttributesAndNeverTouchOtherFiles) {
  TemporaryFolder folder;
  Win32FileSystem files;
  const std::string path = folder.File("Pelorin.ini");
  ASSERT_TRUE(WriteBytes(path + ".new", "mine"));
  ASSERT_TRUE(files.WriteFileAtomically(path, "first"));
  const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), kept));
  ASSERT_TRUE(files.WriteFileAtomically(path, "second"));
  EXPECT_EQ(GetFileAttributesA(path.c_str()) & kept, kept);
  {
    // Held open without FILE_SHARE_DELETE, the file cannot be replaced.
    UniqueHandle holder(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.Valid());
    EXPECT_FALSE(files.WriteFileAtomically(path, "third"));
  }
  EXPECT_EQ(files.ReadWholeFile(path).bytes, "second");
  EXPECT_EQ(files.ReadWholeFile(path + ".new").bytes, "mine");
  EXPECT_EQ(EntriesIn(folder), 2);
}

}  // namespace
}  // namespace pelorin::win32
