#pragma once
#include "platform/file_system.h"

namespace pelorin::posix {

// Files through POSIX calls. A save writes a temporary file with a fresh
// name (O_EXCL, never an existing file) beside the file a symbolic link ends
// at, gives it the old file's owner and mode, flushes it to disk and renames
// it over that file. Where the folder takes no new files, an existing file is
// written in place. A file without any write permission counts as read-only
// even for a user who could write it anyway (root), as it would on Windows.
class PosixFileSystem final : public FileSystem {
 public:
  FileContents ReadWholeFile(const std::string& path) override;
  OsStatus WriteFileAtomically(const std::string& path, std::string_view bytes) override;
  OsStatus CreateNewFile(const std::string& path, std::string_view bytes) override;
  bool FileExists(const std::string& path) override;
  bool FolderTakesNewFiles(const std::string& folder) override;
  OsStatus CreateFolder(const std::string& folder) override;
};

}  // namespace pelorin::posix
