#pragma once
#include <memory>
#include <string_view>

namespace pelorin {

// A system-wide named lock that marks a running copy of the program.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // Gives up ownership early (the lock object stays until destroyed).
  virtual void Release() = 0;
};

class InstanceLocks {
 public:
  virtual ~InstanceLocks() = default;
  // Takes the lock `name`; null when another copy holds it already or the
  // lock cannot be created.
  virtual std::unique_ptr<InstanceLock> Acquire(std::string_view name) = 0;
};

}  // namespace pelorin
