#pragma once
#include <functional>

namespace pelorin::linux_os {

// Whatever runs the program's event loop and can wake the program when a
// file descriptor has input: the epoll loop of the headless program, or
// the desktop toolkit's loop. The parts that live on descriptors (signals,
// other copies' requests, the device watch) take this, so that either loop
// carries them.
class DescriptorWatch {
 public:
  using Handler = std::function<void()>;
  virtual ~DescriptorWatch() = default;

  // Runs `on_readable` on the loop's thread whenever `fd` has input (or a
  // hang-up or error, which the handler finds out by reading). The handler
  // must read what woke it, or it runs again at once. Watching a descriptor
  // again replaces its handler. The watch does not own the descriptor.
  virtual void Watch(int fd, Handler on_readable) = 0;
  // Stops watching `fd`; safe inside any handler, including its own.
  virtual void Unwatch(int fd) = 0;
};

}  // namespace pelorin::linux_os
