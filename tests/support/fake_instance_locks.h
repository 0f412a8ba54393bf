#pragma once
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "platform/instance_lock.h"

namespace pelorin::testing {

// Named locks in memory: a name is held from Acquire until its lock is
// released or destroyed, so a second Acquire of a held name fails as it does
// for a second copy of the program.
class FakeInstanceLocks final : public InstanceLocks {
 public:
  std::unique_ptr<InstanceLock> Acquire(std::string_view name) override {
    const std::string key(name);
    if (held.count(key) != 0) return nullptr;
    held.insert(key);
    return std::make_unique<Lock>(*this, key);
  }

  std::set<std::string> held;

 private:
  class Lock final : public InstanceLock {
   public:
    Lock(FakeInstanceLocks& owner, std::string name) : owner_(owner), name_(std::move(name)) {}
    ~Lock() override { Release(); }
    void Release() override { owner_.held.erase(name_); }

   private:
    FakeInstanceLocks& owner_;
    std::string name_;
  };
};

}  // namespace pelorin::testing
