#pragma once
#include "platform/text_file.h"

namespace pelorin::posix {

// Text files read through open(2)/read(2). Nothing is locked: other programs
// may rewrite a file while it is read, as on Windows with shared access.
class PosixTextFiles final : public TextFiles {
 public:
  std::unique_ptr<LineReader> Open(const std::string& path) override;
  // The file's modification time in nanoseconds since the epoch.
  std::optional<std::int64_t> LastWriteTime(const std::string& path) override;
};

}  // namespace pelorin::posix
