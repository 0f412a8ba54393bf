#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "support/temp_folder.h"

namespace pelorin::win32::testing {

// The one temporary folder of the tests, under the name these tests know.
using TemporaryFolder = pelorin::testing::TempFolder;

inline bool WriteBytes(const std::string& path, std::string_view bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size();
  CloseHandle(file);
  return ok;
}

}  // namespace pelorin::win32::testing
