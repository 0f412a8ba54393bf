// Command lines of any length and content, as another program or a user's
// shortcut may pass them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/command_line.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::string_view first = pelorin::FirstArgument(line);

  // The argument is a piece of the line itself, never a copy or a stray view.
  const bool inside = first.empty() || (first.data() >= line.data() &&
                                        first.data() + first.size() <= line.data() + line.size());
  // A quoted argument holds no quote; an unquoted one no blank.
  const std::size_t start = line.find_first_not_of(" \t");
  const bool quoted = start != std::string_view::npos && line[start] == '"';
  bool clean = true;
  for (char c : first) clean = clean && (quoted ? c != '"' : !IsBlank(c));
  if (!inside || !clean) __builtin_trap();

  // Only the two words, in any letter case, ask for anything.
  const pelorin::CommandLineRequest request = pelorin::ParseStartRequest(first);
  if (request == pelorin::CommandLineRequest::Install && first.size() != 7) __builtin_trap();
  if (request == pelorin::CommandLineRequest::Uninstall && first.size() != 9) __builtin_trap();
  (void)pelorin::ParseStartRequest(line);
  return 0;
}
