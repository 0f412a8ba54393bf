#pragma once
#include <vector>

#include "platform/power.h"

namespace pelorin::testing {

// Records every request to end the session instead of ending it.
class FakePower final : public Power {
 public:
  void EndSession(std::uint32_t flags) override { exits.push_back(flags); }
  bool EnableShutdownPrivilege() override {
    ++privilege_requests;
    return privilege_granted;
  }

  std::vector<std::uint32_t> exits;
  int privilege_requests = 0;
  bool privilege_granted = true;
};

}  // namespace pelorin::testing
