#pragma once
#include <set>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace pelorin::testing {

// A record of every start.
class FakeShell final : public Shell {
 public:
  struct Start {
    std::string file;
    std::string parameters;
    std::string directory;
    int show_command;
    bool operator==(const Start&) const = default;
  };
  void Execute(const std::string& file, const std::string& parameters, const std::string& directory,
               int show_command) override {
    starts.push_back({file, parameters, directory, show_command});
  }

  std::vector<Start> starts;
};

}  // namespace pelorin::testing
