#pragma once
#include <string>

namespace pelorin {

// Show commands of a started program, with the values Windows gives them.
inline constexpr int kShowHidden = 0;  // SW_HIDE
inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
inline constexpr int kShowShow = 5;    // SW_SHOW

// The desktop shell: starting documents and programs.
class Shell {
 public:
  virtual ~Shell() = default;
  // Starts `file` through the shell's default action, with no owner window:
  // `parameters` and `directory` go along as given (empty texts stay empty
  // texts, never null). The result is not reported: a file that cannot be
  // started does nothing.
  virtual void Execute(const std::string& file, const std::string& parameters,
                       const std::string& directory, int show_command) = 0;
};

}  // namespace pelorin
