#pragma once
#include <string>
#include <string_view>

namespace pelorin::win32 {

// How a configuration (profile) file holds its text on Windows, so that the
// system's profile functions, older versions of this program and the user's
// editor all read what this program writes, and this program reads what
// they wrote. Inside the program the text is UTF-8.
//
// Reading: a file that starts with the UTF-16LE byte-order mark is UTF-16LE;
// one that starts with the UTF-8 mark is UTF-8 (the mark stays in the text,
// so that a save writes it again); any other file is in the ANSI code page,
// as the profile functions and older versions wrote it.
//
// Writing: text that starts with the UTF-8 mark is written as it is. Other
// text is written in the ANSI code page when every character has its own
// code there (no "best fit" stand-ins, no '?'), so that a file holding what
// older files held keeps the same bytes; else the whole file is UTF-16LE
// with its byte-order mark, which the profile functions read and write as
// such, so a value in any script reads back whole.

// The text of the file `bytes` as UTF-8.
std::string ProfileBytesToUtf8(std::string_view bytes);

// The file bytes for the UTF-8 `text`.
std::string Utf8ToProfileBytes(std::string_view text);

}  // namespace pelorin::win32
