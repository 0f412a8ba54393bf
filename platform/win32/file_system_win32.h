#pragma once
#include "platform/file_system.h"

namespace pelorin::win32 {

// Files through the wide Win32 calls, with UTF-8 paths. A save writes a temporary file with a
// fresh name beside the file (CREATE_NEW, never an existing file) and puts it
// in the file's place with ReplaceFile, which keeps the old file's security
// and creation time, or with MoveFileEx where there was no file yet. Where
// the folder takes no new files, an existing file is written in place.
class Win32FileSystem final : public FileSystem {
 public:
  FileContents ReadWholeFile(const std::string& path) override;
  OsStatus WriteFileAtomically(const std::string& path, std::string_view bytes) override;
  OsStatus CreateNewFile(const std::string& path, std::string_view bytes) override;
  bool FileExists(const std::string& path) override;
  bool FolderTakesNewFiles(const std::string& folder) override;
  OsStatus CreateFolder(const std::string& folder) override;
  // In the encoding of platform/win32/profile_encoding.h.
  FileContents ReadProfileFile(const std::string& path) override;
  OsStatus WriteProfileFileAtomically(const std::string& path, std::string_view text) override;
};

}  // namespace pelorin::win32
