#pragma once
#include <string>
#include <string_view>

namespace pelorin::win32 {

// Strings inside the program are UTF-8; the system's wide ("...W") calls take
// UTF-16. These two convert at that border, so that a user name, a folder or a
// file name in any script reaches the system whole.

// UTF-8 as UTF-16. Bytes that are not valid UTF-8 (text an older version or
// another program wrote in the ANSI code page) are read in that code page
// instead, so they still name what they named there.
std::wstring Widen(std::string_view utf8);

// UTF-16 as UTF-8. A lone surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view utf16);

}  // namespace pelorin::win32
