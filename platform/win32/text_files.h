#pragma once
#include "platform/text_file.h"

namespace pelorin::win32 {

// Text files read through CreateFileW/ReadFile (UTF-8 paths), shared for reading and
// writing so that the player may rewrite a file while it is being read.
class Win32TextFiles final : public TextFiles {
 public:
  std::unique_ptr<LineReader> Open(const std::string& path) override;
  std::optional<std::int64_t> LastWriteTime(const std::string& path) override;
};

}  // namespace pelorin::win32
