#pragma once
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace pelorin::testing {

// A fresh folder of its own under the temporary directory, removed with all
// its content when the object goes away, also where a test has taken away
// the write permission (POSIX) or made files read-only (Windows). Paths use
// the system's own separator.
class TempFolder {
 public:
  TempFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    std::mt19937_64 random(Seed());
    // Creating the directory is the test of the name: another process or
    // object holding the same one makes this try again.
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const fs::path candidate = base / ("pelorin-test-" + std::to_string(random()));
      if (fs::create_directory(candidate, error)) path_ = candidate.string();
    }
  }
  ~TempFolder() {
    namespace fs = std::filesystem;
    if (path_.empty()) return;
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (auto entry = fs::recursive_directory_iterator(path_, ignored);
         entry != fs::recursive_directory_iterator(); entry.increment(ignored)) {
      fs::permissions(entry->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // Empty when no folder could be made.
  const std::string& path() const { return path_; }
  // The full path of `name` in the folder.
  std::string File(const std::string& name) const {
    return (std::filesystem::path(path_) / name).string();
  }
  // Writes `text` to the file `name` in the folder; returns its full path.
  std::string Write(const std::string& name, const std::string& text) const {
    const std::string file = File(name);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    return file;
  }

 private:
  static std::uint64_t Seed() {
    static std::uint64_t counter = 0;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return (static_cast<std::uint64_t>(std::random_device{}()) << 32) ^
           static_cast<std::uint64_t>(now) ^ ++counter;
  }

  std::string path_;
};

}  // namespace pelorin::testing
