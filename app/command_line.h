#pragma once
#include <string_view>

namespace pelorin {

enum class CommandLineRequest { Normal, Install, Uninstall };

// The request named by the program's first command-line argument, in any
// letter case; further arguments are ignored.
CommandLineRequest ParseStartRequest(std::string_view first_argument);

// The first argument of a Windows command line (the text after the program
// name), honouring double quotes: `"C:\x y\p.exe" UnInstall now` gives
// "UnInstall". Empty when there is none.
std::string_view FirstArgument(std::string_view text);

}  // namespace pelorin
