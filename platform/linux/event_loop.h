#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "platform/linux/descriptor_watch.h"
#include "platform/os_error.h"
#include "platform/posix/unique_fd.h"

namespace pelorin::linux_os {

// A single-threaded loop that waits with epoll(7) on a set of file
// descriptors and runs each one's handler when it becomes readable. The
// program's timers, its signals, the socket of other copies' requests and the
// device watch all reach the program through it, one handler at a time, as
// window messages do on Windows.
//
// epoll rather than poll(2): the set hardly changes while the program runs,
// and a wake-up then costs the kernel the descriptors that are ready (the
// poll timer's, 40 times a second), not a registration with every one of
// them and its removal again.
class EventLoop final : public DescriptorWatch {
 public:
  EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  // Descriptors the kernel refuses to watch (a regular file, say) are
  // reported by Run(), as its failure.
  void Watch(int fd, Handler on_readable) override;
  void Unwatch(int fd) override;

  // Waits and dispatches until Stop(). Fails when the loop could not be
  // set up or a descriptor not be watched, or when the wait itself fails for
  // a reason other than a signal.
  OsStatus Run();
  // Ends Run() once the handler now running returns; no further handler of
  // the current wake-up runs.
  void Stop() { stopped_ = true; }

 private:
  struct Watched {
    int fd;
    std::uint64_t serial;  // what the kernel hands back for it
    Handler handler;
    bool unwatched = false;  // left in place until the handler running returns
  };
  Watched* Find(std::uint64_t serial);
  void DropUnwatched();

  posix::UniqueFd epoll_;
  std::optional<OsError> failure_;  // reported by the next Run()
  // Held by pointer: a handler that watches another descriptor must not
  // move the one that is running.
  std::vector<std::unique_ptr<Watched>> watched_;
  std::uint64_t next_serial_ = 0;
  bool any_unwatched_ = false;
  bool dispatching_ = false;
  bool stopped_ = false;
};

// A timer as a file descriptor (timerfd on CLOCK_MONOTONIC): it becomes
// readable when it expires. Periodic timers are re-armed by the kernel, so
// their ticks do not drift with the time a handler takes.
class TimerFd {
 public:
  // A disarmed timer, or why none could be made.
  static std::optional<TimerFd> Create(OsError* error = nullptr);

  // Once: expires after `period`. Periodic: expires on every multiple of
  // `period` on the monotonic clock, the first within one period, so that
  // periodic timers whose periods divide each other wake the loop once.
  // Arming a running timer starts it afresh.
  OsStatus Arm(std::chrono::milliseconds period, bool periodic);
  void Disarm();
  // Reads and returns the expirations since the last call (0 when there
  // were none), which also quiets the descriptor. After a suspend this may
  // be many; callers act once.
  std::uint64_t TakeExpirations();
  int Fd() const { return fd_.Get(); }

 private:
  explicit TimerFd(posix::UniqueFd fd) : fd_(std::move(fd)) {}
  posix::UniqueFd fd_;
};

// Signals delivered as a readable descriptor (signalfd) instead of to a
// handler that may interrupt the program anywhere. The signals are blocked
// for the calling thread (call it before any other thread starts, so that
// every thread inherits the mask) and unblocked again when this ends.
class SignalFd {
 public:
  static std::optional<SignalFd> Create(std::initializer_list<int> signals,
                                        OsError* error = nullptr);
  SignalFd(SignalFd&& other) noexcept;
  SignalFd& operator=(SignalFd&&) = delete;
  SignalFd(const SignalFd&) = delete;
  ~SignalFd();

  // The next pending signal's number, or nothing when none is pending.
  std::optional<int> TakeSignal();
  int Fd() const { return fd_.Get(); }

 private:
  SignalFd(posix::UniqueFd fd, std::vector<int> signals)
      : fd_(std::move(fd)), signals_(std::move(signals)) {}
  posix::UniqueFd fd_;
  std::vector<int> signals_;  // blocked by this object; empty once moved from
};

// Reaps every child that has ended, so that programs the program started
// leave no zombies; for SIGCHLD.
void ReapEndedChildren();

}  // namespace pelorin::linux_os
