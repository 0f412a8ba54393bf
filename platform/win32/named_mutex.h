#pragma once
#include "platform/instance_lock.h"

namespace pelorin::win32 {

// A named mutex created with initial ownership: the second creation of the
// same name reports ERROR_ALREADY_EXISTS, which means another copy runs.
class NamedMutexLocks final : public InstanceLocks {
 public:
  std::unique_ptr<InstanceLock> Acquire(std::string_view name) override;
};

}  // namespace pelorin::win32
