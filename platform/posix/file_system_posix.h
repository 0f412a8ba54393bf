#pragma once
#include "platform/file_system.h"

namespace pelorin::posix {

// Files through POSIX calls. A save writes "<path>.new" beside the file,
// flushes it to disk and renames it over the file. A file without any write
// permission counts as read-only even for a user who could write it anyway
// (root), as it would on Windows; a replaced file keeps its permissions.
class PosixFileSystem final : public FileSystem {
 public:
  FileContents ReadWholeFile(const std::string& path) override;
  bool WriteFileAtomically(const std::string& path, std::string_view bytes) override;
  bool CreateNewFile(const std::string& path, std::string_view bytes) override;
  bool FileExists(const std::string& path) override;
};

}  // namespace pelorin::posix
