#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace pelorin::win32 {

// Window and control texts as UTF-8, through the wide calls: a path in any
// script typed into a field, or shown in a label, comes back whole. The
// ANSI calls would turn every character outside the code page into '?'.

// The whole text of `hwnd`, however long.
std::string WindowText(HWND hwnd);
// Replaces the text of `hwnd`; false when the window refused it.
bool SetWindowTextUtf8(HWND hwnd, std::string_view text);
// The width and height of `text` drawn with the font selected into `dc`.
SIZE TextExtent(HDC dc, std::string_view text);

}  // namespace pelorin::win32
