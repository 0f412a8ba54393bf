#pragma once
#include <string>
#include <string_view>

namespace pelorin {

// The player directory from the player's registered "UninstallString": a
// leading double quote drops the first and the last character (the last one
// unseen), then everything from the last backslash on is cut.
std::string PlayerDirectoryFromUninstallString(std::string_view text);

// The parent of the directory that holds `executable_path`: the path cut at
// its last backslash, twice. The player is looked for there when it is not
// registered.
std::string ParentOfProgramDirectory(std::string_view executable_path);

// The directory part of a path (before the last backslash; the whole text
// when there is none) and the file-name part (after it; the whole text when
// there is none).
std::string DirectoryOf(std::string_view path);
std::string FileNameOf(std::string_view path);

// ASCII lower case, as Windows paths are compared and stored in the registry.
std::string LowerCase(std::string_view text);

}  // namespace pelorin
