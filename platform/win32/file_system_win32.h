#pragma once
#include "platform/file_system.h"

namespace pelorin::win32 {

// Files through the ANSI Win32 calls. A save writes "<path>.new" beside the
// file and moves it over the file with MoveFileEx (MOVEFILE_REPLACE_EXISTING),
// so that readers see either the old or the new file, never a part of one.
class Win32FileSystem final : public FileSystem {
 public:
  FileContents ReadWholeFile(const std::string& path) override;
  bool WriteFileAtomically(const std::string& path, std::string_view bytes) override;
  bool CreateNewFile(const std::string& path, std::string_view bytes) override;
  bool FileExists(const std::string& path) override;
};

}  // namespace pelorin::win32
