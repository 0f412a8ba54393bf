#pragma once
#include <string>
#include <string_view>

#include "platform/os_error.h"

namespace pelorin {

// What became of reading a whole file.
enum class ReadStatus {
  Ok,        // `bytes` holds the whole file
  NotFound,  // there is no such file (or its folder is missing)
  Failed,    // the file exists but could not be read (locked, refused, too large)
};

struct FileContents {
  ReadStatus status = ReadStatus::NotFound;
  std::string bytes;
};

// The few file operations the settings store needs. Paths are in the
// platform's own form, as UTF-8 text. All calls come from the
// user-interface thread.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Reads the whole file. Files above kMaxFileBytes are reported as Failed
  // rather than read, so that a runaway file cannot exhaust memory.
  virtual FileContents ReadWholeFile(const std::string& path) = 0;

  // Replaces the file at `path` with exactly `bytes`. On failure the result
  // says why. A read-only file is never replaced.
  //
  // The data go to a new temporary file beside the file, under a name with a
  // unique part that is created only where no file of that name exists (a
  // user's own "<name>.new" or similar is never taken over, written or
  // removed); it then takes the file's place in one step, so that readers see
  // the old or the new file, never a part of one. On failure the previous
  // file is unchanged and the temporary is gone. The new file keeps what the
  // old one carried besides its bytes: attributes and security on Windows,
  // mode and owner on POSIX; a symbolic link stays a link, and its target is
  // what gets replaced.
  //
  // Where no file can be created beside an existing file (the user may write
  // the file but not its folder, as in a shared or installation folder), the
  // file is written in place instead, as the system's own profile functions
  // do: opened as it is, overwritten, cut to the new length and flushed. That
  // write is not atomic (a crash or an I/O error in the middle leaves a mix of
  // old and new bytes), but it is the only way such a file can be saved at
  // all; the room the new bytes need is taken before any old byte is
  // overwritten, so that a full disk fails the save with the file unchanged.
  virtual OsStatus WriteFileAtomically(const std::string& path, std::string_view bytes) = 0;

  // Creates a new file holding exactly `bytes`; fails, touching nothing, when
  // a file of that name exists already. A partly written file is removed.
  // On failure the result says why.
  virtual OsStatus CreateNewFile(const std::string& path, std::string_view bytes) = 0;

  // True when a file (not a folder) exists at `path`.
  virtual bool FileExists(const std::string& path) = 0;

  // True when this user may create a new file in `folder` now. Found out by
  // doing it: a file under a fresh name is created there and removed again,
  // since rights, read-only media and system policies all have their say
  // and only the attempt hears them all.
  virtual bool FolderTakesNewFiles(const std::string& folder) = 0;

  // Creates `folder` (its parent must exist); an existing folder of that
  // name is success. On failure the result says why.
  virtual OsStatus CreateFolder(const std::string& folder) = 0;

  // A configuration (profile) file as UTF-8 text, and its replacement from
  // UTF-8 text, with the guarantees of ReadWholeFile and WriteFileAtomically.
  // The file holds the text in the encoding the platform's own readers of
  // such files expect; where that is UTF-8 (POSIX) the bytes pass as they
  // are, which is what these defaults do.
  virtual FileContents ReadProfileFile(const std::string& path) { return ReadWholeFile(path); }
  virtual OsStatus WriteProfileFileAtomically(const std::string& path, std::string_view text) {
    return WriteFileAtomically(path, text);
  }

  static constexpr std::size_t kMaxFileBytes = std::size_t{64} * 1024 * 1024;
};

}  // namespace pelorin
