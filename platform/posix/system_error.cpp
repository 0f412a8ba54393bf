#include "platform/posix/system_error.h"

#include <cerrno>
#include <cstring>

namespace pelorin::posix {

OsError SystemError(int code, std::string_view operation, std::string subject) {
  // The user-interface thread is the only caller.
  return {code, operation, std::move(subject),
          std::strerror(code)};  // NOLINT(concurrency-mt-unsafe)
}

OsError LastError(std::string_view operation, const std::string& subject) {
  const auto code = errno;  // before anything else can change it
  return SystemError(code, operation, subject);
}

}  // namespace pelorin::posix
