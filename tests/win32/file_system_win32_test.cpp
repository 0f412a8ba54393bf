// The file backend against real files: the contract every file system keeps,
// then what only Windows has (attributes, files held open by others).
#include "platform/win32/file_system_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "contract/file_system_contract.h"
#include "platform/win32/unique_handle.h"
#include "win32_test_files.h"

namespace pelorin::win32 {
namespace {

using contract::FileSystemContract;
using testing::TemporaryFolder;
using testing::WriteBytes;

INSTANTIATE_TEST_SUITE_P(
    Win32, FileSystemContract,
    ::testing::Values(contract::RealFiles<Win32FileSystem, TemporaryFolder>::Named("Win32")));

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
  EXPECT_EQ(contract::EntriesIn(folder.path()), 2);
}

}  // namespace
}  // namespace pelorin::win32
