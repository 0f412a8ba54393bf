#pragma once
#include <random>
#include <string>
#include <string_view>

namespace pelorin {

inline constexpr const char* kUninstallKeyPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char* kUninstallEntryPath =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelorin";
inline constexpr const char* kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kProgramName = "Pelorin";

// `count` characters drawn from 0-9, A-Z and a-z.
std::string RandomName(int count, std::mt19937& generator);

// The "UninstallString" of the entry in the list of installed programs: the
// executable path in lower case, quoted, then " uninstall".
std::string UninstallCommand(std::string_view executable_path);

// The self-deleting batch file that removes `executable_file_name` (no
// directory) once no copy of the program holds it any more, then itself.
// Five lines, each ended by CRLF. A '%' in the name is doubled so that the
// command interpreter reads it literally.
std::string UninstallBatchText(std::string_view executable_file_name);

}  // namespace pelorin
