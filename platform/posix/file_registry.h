#pragma once
#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace pelorin::posix {

// The registry of the Linux edition: one text file per root in a folder of
// the caller's choice ("HKEY_CURRENT_USER.reg" and so on), one line per key
// and per value. Every operation reads the file afresh and every change
// replaces it atomically through the file system seam, so an interrupted
// save never leaves a broken registry. Key paths and value names are compared
// without regard to (ASCII) case, as on Windows. Lines that cannot be read
// are dropped at the next change. A missing key fails to open with ENOENT,
// as a missing file does; a file that cannot be read or written fails with
// the file system's cause. There is one view: every view opens the
// same key, as no 32-bit program keeps a copy of its own in these files.
class FileRegistry final : public Registry {
 public:
  FileRegistry(FileSystem& files, std::string folder);

  Opened<RegistryKey> OpenInView(RegistryView view, RegistryRoot root, const std::string& path,
                                 KeyAccess access, bool create) override;

  // The file that holds `root`.
  std::string FileOf(RegistryRoot root) const;

  FileSystem& files() { return files_; }

 private:
  FileSystem& files_;
  std::string folder_;
};

}  // namespace pelorin::posix
