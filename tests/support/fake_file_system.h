#pragma once
#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace pelorin::testing {

// Files in memory, with faults a test can switch on. Folders exist unless
// listed in `missing_folders` (a path's folder is the part before its last
// '\\' or '/').
class FakeFileSystem final : public FileSystem {
 public:
  FileContents ReadWholeFile(const std::string& path) override;
  bool WriteFileAtomically(const std::string& path, std::string_view bytes) override;
  bool CreateNewFile(const std::string& path, std::string_view bytes) override;
  bool FileExists(const std::string& path) override { return files.count(path) != 0; }

  std::map<std::string, std::string> files;  // path -> contents
  std::set<std::string> read_only;           // replacing these fails
  std::set<std::string> unreadable;          // reading these fails (locked)
  std::set<std::string> missing_folders;
  bool disk_full = false;  // every write fails
  int replacements = 0;    // successful WriteFileAtomically calls
  int failed_replacements = 0;
};

}  // namespace pelorin::testing
