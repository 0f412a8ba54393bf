#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace pelorin {
namespace {

bool EqualsIgnoringCase(std::string_view text, std::string_view word) {
  return std::equal(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
  });
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

CommandLineRequest ParseStartRequest(std::string_view first_argument) {
  if (EqualsIgnoringCase(first_argument, "uninstall")) return CommandLineRequest::Uninstall;
  if (EqualsIgnoringCase(first_argument, "install")) return CommandLineRequest::Install;
  return CommandLineRequest::Normal;
}

std::string_view FirstArgument(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && IsBlank(text[begin])) ++begin;
  if (begin == text.size()) return {};
  if (text[begin] == '"') {
    // A quoted argument ends at the next quote, or at the end of the text.
    const std::size_t close = text.find('"', begin + 1);
    const std::size_t end = close == std::string_view::npos ? text.size() : close;
    return text.substr(begin + 1, end - begin - 1);
  }
  std::size_t end = begin;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  return text.substr(begin, end - begin);
}

}  // namespace pelorin
