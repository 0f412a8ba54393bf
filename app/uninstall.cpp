#include "app/uninstall.h"

#include "app/locations.h"

namespace pelorin {

std::string RandomName(int count, std::mt19937& generator) {
  std::uniform_int_distribution<int> draw(0, 61);
  std::string name;
  for (int i = 0; i < count; ++i) {
    int c = draw(generator) + '0';
    if (c > '9') c += 7;  // skip the punctuation between the digits and 'A'
    if (c > 'Z') c += 6;  // and between 'Z' and 'a'
    name.push_back(static_cast<char>(c));
  }
  return name;
}

std::string UninstallCommand(std::string_view executable_path) {
  return "\"" + LowerCase(executable_path) + "\" uninstall";
}

std::string UninstallBatchText(std::string_view executable_file_name) {
  std::string name;
  for (char c : executable_file_name) {
    name.push_back(c);
    if (c == '%') name.push_back('%');
  }
  const std::string quoted = "\"" + name + "\"";
  return "@echo off\r\n"
         ":loop\r\n"
         "del " + quoted + "\r\n"
         "if exist " + quoted + " goto loop\r\n"
         "del %0\r\n";
}

}  // namespace pelorin
