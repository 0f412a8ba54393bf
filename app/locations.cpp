#include "app/locations.h"

#include <cctype>

#include "actions/text_split.h"

namespace pelorin {
namespace {

std::string_view BeforeLastBackslash(std::string_view text) {
  return SplitAtChar(text, '\\', SplitAt::Last, SplitTake::Before);
}

}  // namespace

std::string PlayerDirectoryFromUninstallString(std::string_view text) {
  if (!text.empty() && text.front() == '"') {
    // The closing quote is assumed to be the last character.
    text = text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string_view{};
  }
  return std::string(BeforeLastBackslash(text));
}

std::string ParentOfProgramDirectory(std::string_view executable_path) {
  return std::string(BeforeLastBackslash(BeforeLastBackslash(executable_path)));
}

std::string DirectoryOf(std::string_view path) { return std::string(BeforeLastBackslash(path)); }

std::string FileNameOf(std::string_view path) {
  // Unlike SplitAtChar, a path without a backslash is all file name.
  const std::size_t cut = path.rfind('\\');
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

}  // namespace pelorin
