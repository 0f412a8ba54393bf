// The file backend against real files: whole reads, atomic replacement, and
// the faults under which the previous file must survive.
#include "platform/win32/file_system_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

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
