#pragma once
#include <map>
#include <memory>
#include <vector>

#include "platform/linux/descriptor_watch.h"

class QSocketNotifier;

namespace pelorin::linux_os {

// Descriptors watched by the Qt application's event loop: one read
// notifier per descriptor, whose handler runs on the loop's thread, between
// the toolkit's own events, one handler at a time. Needs the application
// object; lives no longer than it.
class QtDescriptorWatch final : public DescriptorWatch {
 public:
  QtDescriptorWatch();
  ~QtDescriptorWatch() override;
  QtDescriptorWatch(const QtDescriptorWatch&) = delete;
  QtDescriptorWatch& operator=(const QtDescriptorWatch&) = delete;

  void Watch(int fd, Handler on_readable) override;
  void Unwatch(int fd) override;

 private:
  struct Watched {
    std::unique_ptr<QSocketNotifier> notifier;
    Handler handler;
  };
  void Dispatch(int fd);

  std::map<int, Watched> watched_;
  // Notifiers unwatched while a handler runs: a notifier may not be deleted
  // inside its own signal, so they go once the handler has returned.
  std::vector<std::unique_ptr<QSocketNotifier>> retired_;
  int dispatching_depth_ = 0;
};

}  // namespace pelorin::linux_os
