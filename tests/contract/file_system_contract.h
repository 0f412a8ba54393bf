#pragma once
// What every FileSystem promises, as one suite run against the fake and both
// real backends. Each backend's own test file instantiates it with a factory:
//   INSTANTIATE_TEST_SUITE_P(Name, FileSystemContract, ::testing::Values(FileSystemBackend{"Name",
//   &MakeName}));
// Include it from one test file per executable: the tests are defined here.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>

#include "platform/file_system.h"

namespace pelorin::contract {

// One backend with a fresh, empty folder of its own, removed at the end.
class FileSystemUnderTest {
 public:
  virtual ~FileSystemUnderTest() = default;
  virtual FileSystem& files() = 0;
  virtual std::string Folder() const = 0;
  // The path of `name` in the folder.
  virtual std::string File(const std::string& name) const = 0;
  // A path in a folder that does not exist.
  virtual std::string InMissingFolder() = 0;
  // Makes an existing file read-only, as a user of the platform would.
  virtual void MakeReadOnly(const std::string& path) = 0;
  // How many files and folders the folder holds.
  virtual long EntriesInFolder() const = 0;
};

// A backend as the suite's parameter: its name (shown in test names) and how
// to make one.
struct FileSystemBackend {
  const char* name;
  std::unique_ptr<FileSystemUnderTest> (*make)();
  friend std::ostream& operator<<(std::ostream& out, const FileSystemBackend& backend) {
    return out << backend.name;
  }
};

// How many files and folders `folder` holds.
inline long EntriesIn(const std::string& folder) {
  using std::filesystem::directory_iterator;
  return std::distance(directory_iterator(folder), directory_iterator());
}

// A real backend of type Backend in a fresh folder of type TemporaryFolder
// (with path() and File(name), removed with its content at the end).
template <typename Backend, typename TemporaryFolder>
class RealFiles final : public FileSystemUnderTest {
 public:
  static FileSystemBackend Named(const char* name) {
    return {name, [] { return std::unique_ptr<FileSystemUnderTest>(new RealFiles); }};
  }

  FileSystem& files() override { return files_; }
  std::string Folder() const override { return folder_.path(); }
  std::string File(const std::string& name) const override { return folder_.File(name); }
  std::string InMissingFolder() override {
    return (std::filesystem::path(folder_.path()) / "no" / "such" / "folder.ini").string();
  }
  // No write permission for anyone: the read-only attribute on Windows.
  void MakeReadOnly(const std::string& path) override {
    using std::filesystem::perms;
    std::filesystem::permissions(path, perms::owner_read | perms::group_read | perms::others_read);
  }
  long EntriesInFolder() const override { return EntriesIn(folder_.path()); }

 private:
  TemporaryFolder folder_;
  Backend files_;
};

class FileSystemContract : public ::testing::TestWithParam<FileSystemBackend> {
 protected:
  void SetUp() override { backend_ = GetParam().make(); }

  FileSystem& files() { return backend_->files(); }
  // A failure that says what failed: a cause, on a path naming `file`.
  static void ExpectCause(const OsStatus& status, const std::string& file) {
    ASSERT_FALSE(status);
    EXPECT_NE(status.error().code, 0);
    EXPECT_NE(status.error().subject.find(file), std::string::npos) << status.error().subject;
  }

  std::unique_ptr<FileSystemUnderTest> backend_;
};

TEST_P(FileSystemContract, ReplacesWholeFilesAndLeavesNoTemporary) {
  const std::string path = backend_->File("a.ini");
  EXPECT_EQ(files().ReadWholeFile(path).status, ReadStatus::NotFound);
  EXPECT_FALSE(files().FileExists(path));
  const std::string bytes("[A]\r\nK=\0binary\xFF\r\n", 18);
  ASSERT_TRUE(files().WriteFileAtomically(path, bytes));
  ASSERT_TRUE(files().WriteFileAtomically(path, bytes + bytes));
  FileContents read = files().ReadWholeFile(path);
  EXPECT_EQ(read.status, ReadStatus::Ok);
  EXPECT_EQ(read.bytes, bytes + bytes);
  EXPECT_TRUE(files().FileExists(path));
  EXPECT_FALSE(files().FileExists(backend_->Folder()));
  EXPECT_FALSE(files().FileExists(path + ".new"));
  EXPECT_EQ(backend_->EntriesInFolder(), 1);
}

// A user's file named as temporaries once were is never written or removed,
// by a save that creates the file or one that replaces it.
TEST_P(FileSystemContract, SavesNeverTouchAUsersFileNamedLikeATemporary) {
  const std::string path = backend_->File("Pelorin.ini");
  ASSERT_TRUE(files().CreateNewFile(path + ".new", "mine"));
  ASSERT_TRUE(files().WriteFileAtomically(path, "first"));
  ASSERT_TRUE(files().WriteFileAtomically(path, "second"));
  EXPECT_EQ(files().ReadWholeFile(path).bytes, "second");
  EXPECT_EQ(files().ReadWholeFile(path + ".new").bytes, "mine");
  EXPECT_EQ(backend_->EntriesInFolder(), 2);
}

TEST_P(FileSystemContract, ReadOnlyFileIsNeverReplaced) {
  const std::string path = backend_->File("ro.ini");
  ASSERT_TRUE(files().WriteFileAtomically(path, "old"));
  backend_->MakeReadOnly(path);
  ExpectCause(files().WriteFileAtomically(path, "new"), "ro.ini");
  EXPECT_EQ(files().ReadWholeFile(path).bytes, "old");
  EXPECT_FALSE(files().FileExists(path + ".new"));
  EXPECT_EQ(backend_->EntriesInFolder(), 1);
}

TEST_P(FileSystemContract, MissingFolderAndFolderInPlaceOfTheFileFailCleanly) {
  const std::string path = backend_->InMissingFolder();
  ExpectCause(files().WriteFileAtomically(path, "x"), "folder.ini");
  EXPECT_EQ(files().ReadWholeFile(path).status, ReadStatus::NotFound);
  EXPECT_FALSE(files().WriteFileAtomically(backend_->Folder(), "x"));
  EXPECT_EQ(files().ReadWholeFile(backend_->Folder()).status, ReadStatus::Failed);
  EXPECT_EQ(backend_->EntriesInFolder(), 0);
}

TEST_P(FileSystemContract, CreatesOnlyFilesThatDoNotExist) {
  const std::string path = backend_->File("run.bat");
  ASSERT_TRUE(files().CreateNewFile(path, "first"));
  ExpectCause(files().CreateNewFile(path, "second"), "run.bat");
  EXPECT_EQ(files().ReadWholeFile(path).bytes, "first");
  EXPECT_FALSE(files().CreateNewFile(backend_->InMissingFolder(), "x"));
  EXPECT_EQ(backend_->EntriesInFolder(), 1);
}

// The settings' own folder: made once, found writable by a probe that
// leaves nothing behind; no folder in a missing one or over a file.
TEST_P(FileSystemContract, FoldersAreMadeOnceAndProbedWithoutATrace) {
  EXPECT_TRUE(files().FolderTakesNewFiles(backend_->Folder()));
  EXPECT_EQ(backend_->EntriesInFolder(), 0) << "the probe is gone";
  const std::string folder = backend_->File("Pelorin");
  ASSERT_TRUE(files().CreateFolder(folder));
  EXPECT_TRUE(files().CreateFolder(folder)) << "one that exists is there";
  EXPECT_TRUE(files().FolderTakesNewFiles(folder));
  ASSERT_TRUE(files().WriteFileAtomically(backend_->File("Pelorin.ini"), "x"));
  EXPECT_FALSE(files().CreateFolder(backend_->File("Pelorin.ini")));
  const std::string missing = backend_->InMissingFolder();
  EXPECT_FALSE(files().FolderTakesNewFiles(missing));
  ExpectCause(files().CreateFolder(missing), "folder.ini");
  EXPECT_FALSE(files().FolderTakesNewFiles(backend_->File("Pelorin.ini")));
}

TEST_P(FileSystemContract, LargeFileIsReadWhole) {
  const std::string path = backend_->File("big.ini");
  const std::string big(10u * 1024 * 1024 + 3, 'b');
  ASSERT_TRUE(files().WriteFileAtomically(path, big));
  EXPECT_EQ(files().ReadWholeFile(path).bytes.size(), big.size());
}

}  // namespace pelorin::contract
