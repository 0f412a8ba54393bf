// The file backend against real files: whole reads, atomic replacement, and
// the faults under which the previous file must survive.
#include "platform/win32/file_system_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "platform/win32/unique_handle.h"
#include "win32_test_files.h"

namespace pelorin::win32 {
namespace {

using testing::TemporaryFolder;
using testing::WriteBytes;

TEST(Win32FileSystemTest, ReplacesWholeFilesAndLeavesNoTemporary) {
  TemporaryFolder folder;
  Win32FileSystem files;
  const std::string path = folder.File("a.ini");
  EXPECT_EQ(files.ReadWholeFile(path).status, ReadStatus::NotFound);
  EXPECT_FALSE(files.FileExists(path));
  const std::string bytes("[A]\r\nK=\0binary\xFF\r\n", 18);
  ASSERT_TRUE(files.WriteFileAtomically(path, bytes));
  ASSERT_TRUE(files.WriteFileAtomically(path, bytes + bytes));
  FileContents read = files.ReadWholeFile(path);
  EXPECT_EQ(read.status, ReadStatus::Ok);
  EXPECT_EQ(read.bytes, bytes + bytes);
  EXPECT_TRUE(files.FileExists(path));
  EXPECT_FALSE(files.FileExists(folder.path()));
  EXPECT_FALSE(files.FileExists(path + ".new"));
}

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
  using std::filesystem::directory_iterator;
  EXPECT_EQ(std::distance(directory_iterator(folder.path()), directory_iterator()), 2);
}

TEST(Win32FileSystemTest, ReadOnlyFileIsNeverReplaced) {
  TemporaryFolder folder;
  Win32FileSystem files;
  const std::string path = folder.File("ro.ini");
  ASSERT_TRUE(WriteBytes(path, "old"));
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(files.WriteFileAtomically(path, "new"));
  EXPECT_EQ(files.ReadWholeFile(path).bytes, "old");
  EXPECT_FALSE(files.FileExists(path + ".new"));
}

TEST(Win32FileSystemTest, MissingFolderFailsCleanly) {
  TemporaryFolder folder;
  Win32FileSystem files;
  const std::string path = folder.File("no\\such\\folder.ini");
  EXPECT_FALSE(files.WriteFileAtomically(path, "x"));
  EXPECT_EQ(files.ReadWholeFile(path).status, ReadStatus::NotFound);
}

TEST(Win32FileSystemTest, FolderInPlaceOfTheFileIsNotReplaced) {
  TemporaryFolder folder;
  Win32FileSystem files;
  EXPECT_FALSE(files.WriteFileAtomically(folder.path(), "x"));
  EXPECT_EQ(files.ReadWholeFile(folder.path()).status, ReadStatus::Failed);
}

TEST(Win32FileSystemTest, LargeFileIsReadWhole) {
  TemporaryFolder folder;
  Win32FileSystem files;
  const std::string path = folder.File("big.ini");
  std::string big(10u * 1024 * 1024 + 3, 'b');
  ASSERT_TRUE(files.WriteFileAtomically(path, big));
  EXPECT_EQ(files.ReadWholeFile(path).bytes.size(), big.size());
}

}  // namespace
}  // namespace pelorin::win32
