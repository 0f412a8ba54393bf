// Exec texts as typed by the user or read from the configuration file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "actions/keys_and_start.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view exec(reinterpret_cast<const char*>(data), size);
  const pelorin::ExecParts parts = pelorin::SplitExecText(exec);
  // Every part is a piece of the text; the file name holds no folder or quote.
  if (parts.file.size() > size || parts.parameters.size() > size || parts.directory.size() > size ||
      parts.file.find('\\') != std::string::npos || parts.file.find('"') != std::string::npos) {
    __builtin_trap();
  }
  return 0;
}
