#pragma once
#include <random>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/identity.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace pelorin {

// `count` characters drawn from 0-9, A-Z and a-z.
std::string RandomName(int count, std::mt19937& generator);

// The "UninstallString" of the entry in the list of installed programs: the
// executable path in lower case, quoted, then " uninstall".
std::string UninstallCommand(std::string_view executable_path);

// The self-deleting batch file that removes `executable_file_name` (no
// directory) once no copy of the program holds it any more, then itself:
// it clears the read-only attribute, tries to delete, waits about a second
// and tries again while the file is still there. Seven lines, each ended by
// CRLF. A '%' in the name is doubled so that the command interpreter reads it
// literally.
std::string UninstallBatchText(std::string_view executable_file_name);

// Enters the program in the list of installed programs: the machine-wide one
// when this user may write there, else the user's own.
void WriteUninstallEntry(Registry& registry, std::string_view executable_path);

// Removes the program: starts a hidden batch file that deletes the
// executable once no copy holds it any more, then removes the uninstall and
// autostart entries, the machine-wide and the user's, wherever this user may.
// Stops before any change when the batch file cannot be created. The
// settings key and the configuration file stay.
void UninstallProgram(Registry& registry, FileSystem& files, Shell& shell,
                      std::string_view executable_path, std::mt19937& generator);

}  // namespace pelorin
