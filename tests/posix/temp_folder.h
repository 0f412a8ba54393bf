#pragma once
#include <fstream>
#include <iterator>
#include <string>

#include "support/temp_folder.h"

namespace pelorin::posix::testing {

// The one temporary folder of the tests, under the name these tests know.
using pelorin::testing::TempFolder;

inline std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace pelorin::posix::testing
