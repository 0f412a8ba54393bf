#pragma once
#include <string>
#include <string_view>

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
// platform's own form and encoding (ANSI on Windows). All calls come from the
// user-interface thread.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Reads the whole file. Files above kMaxFileBytes are reported as Failed
  // rather than read, so that a runaway file cannot exhaust memory.
  virtual FileContents ReadWholeFile(const std::string& path) = 0;

  // Replaces the file at `path` with exactly `bytes`: the data go to a
  // temporary file beside it, which then takes the file's place in one atomic
  // step. Returns false on any failure, in which case the previous file is
  // unchanged and no temporary file is left behind. A read-only file is
  // never replaced.
  virtual bool WriteFileAtomically(const std::string& path, std::string_view bytes) = 0;

  // Creates a new file holding exactly `bytes`; fails, touching nothing, when
  // a file of that name exists already. A partly written file is removed.
  virtual bool CreateNewFile(const std::string& path, std::string_view bytes) = 0;

  // True when a file (not a folder) exists at `path`.
  virtual bool FileExists(const std::string& path) = 0;

  static constexpr std::size_t kMaxFileBytes = std::size_t{64} * 1024 * 1024;
};

}  // namespace pelorin
