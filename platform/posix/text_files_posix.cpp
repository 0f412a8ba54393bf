#include "platform/posix/text_files_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/unique_fd.h"

namespace pelorin::posix {
namespace {

class FdLineReader final : public ChunkLineReader {
 public:
  explicit FdLineReader(UniqueFd file) : file_(std::move(file)) {}

 protected:
  std::optional<std::size_t> ReadChunk(char* buffer, std::size_t capacity) override {
    for (;;) {
      const ssize_t count = ::read(file_.Get(), buffer, capacity);
      if (count >= 0) return static_cast<std::size_t>(count);
      if (errno != EINTR) return std::nullopt;
    }
  }

 private:
  UniqueFd file_;
};

}  // namespace

std::unique_ptr<LineReader> PosixTextFiles::Open(const std::string& path) {
  UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) return nullptr;
  return std::make_unique<FdLineReader>(std::move(file));
}

std::optional<std::int64_t> PosixTextFiles::LastWriteTime(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
}

}  // namespace pelorin::posix
