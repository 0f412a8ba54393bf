#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/keyboard.h"
#include "platform/shell.h"

namespace pelorin {

// Emulates one press and release of the key in key word `key` (code in bits
// 0..7, Shift bit 8, Ctrl bit 9, Alt bit 10): modifiers go down in the order
// Alt, Ctrl, Shift around the key and come up in the reverse order.
void PressKey(Keyboard& keyboard, std::uint16_t key);

// The display text of virtual-key code `code`: the character of a digit or
// capital letter, "Num n" for keypad digits, a name for the common keys, else
// "#" and the code in decimal.
std::string KeyName(int code);

// What the shell is asked to start for one Exec text.
struct ExecParts {
  std::string file;
  std::string parameters;
  std::string directory;
  bool operator==(const ExecParts&) const = default;
};

// Splits an Exec text (a quoted full path, optionally followed by parameters)
// into the file name, the parameter text (everything after the closing quote,
// leading blanks included) and the file's folder. Text before the first quote
// is ignored; an unquoted or folder-less path yields an empty file name.
// `separator` parts the folders of a path: a backslash on Windows, a slash
// on Linux.
ExecParts SplitExecText(std::string_view exec, char separator = '\\');

// Starts `file` through the shell's default action with no owner window.
// Texts of any length are passed whole.
void StartFile(Shell& shell, const std::string& file, const std::string& parameters,
               const std::string& directory, int show_command);

// Starts the file of an Exec text, shown normally.
void StartExec(Shell& shell, std::string_view exec, char separator = '\\');

}  // namespace pelorin
