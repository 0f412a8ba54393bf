#pragma once
#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace pelorin::testing {

// Files in memory, with faults a test can switch on. A path's folder is the
// part before its last '\\' or '/'. Folders exist unless listed in
// `missing_folders`; those in `closed_folders` exist but take no new file
// and no replacement (a normal user in an installation folder); a path is itself a folder when
// listed in `folders` or when a file lies below it, and a folder is neither read nor replaced as a
// file. Failures carry Windows' error codes (fake_errors.h).
class FakeFileSystem final : public FileSystem {
 public:
  FileContents ReadWholeFile(const std::string& path) override;
  OsStatus WriteFileAtomically(const std::string& path, std::string_view bytes) override;
  OsStatus CreateNewFile(const std::string& path, std::string_view bytes) override;
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }
  bool FolderTakesNewFiles(const std::string& folder) override;
  OsStatus CreateFolder(const std::string& folder) override;

  std::map<std::string, std::string> files;  // path -> contents
  std::set<std::string> folders;             // folders a test names, with or without files
  std::set<std::string> read_only;           // replacing these fails
  std::set<std::string> unreadable;          // reading these fails (locked)
  std::set<std::string> missing_folders;
  std::set<std::string> closed_folders;
  bool disk_full = false;  // every write fails
  int replacements = 0;    // successful WriteFileAtomically calls
  int failed_replacements = 0;

 private:
  bool IsFolder(const std::string& path) const;
  // True when a folder above `path` is missing.
  bool InMissingFolder(const std::string& path) const;
  // Why a new file cannot be written at `path`; nothing when it can.
  OsStatus CheckWritable(const std::string& path) const;
};

}  // namespace pelorin::testing
