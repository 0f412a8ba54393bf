#include "platform/os_error.h"

namespace pelorin {

std::string Describe(const OsError& error) {
  std::string line(error.operation);
  if (!error.subject.empty()) line += " " + error.subject;
  line += ": error " + std::to_string(error.code);
  if (!error.text.empty()) line += " (" + error.text + ")";
  return line;
}

}  // namespace pelorin
