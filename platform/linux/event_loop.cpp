#include "platform/linux/event_loop.h"

#include <signal.h>
#include <sys/epoll.h>
#include <sys/signalfd.h>
#include <sys/timerfd.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <utility>

#include "platform/posix/system_error.h"

namespace pelorin::linux_os {

namespace {

// Handlers of one wake-up: at idle one descriptor is ready, the poll timer's;
// more than this many wait for the next turn of the loop, which comes at once.
constexpr int kEventsPerWake = 16;

}  // namespace

EventLoop::EventLoop() : epoll_(::epoll_create1(EPOLL_CLOEXEC)) {
  if (!epoll_.Valid()) failure_ = posix::LastError("epoll_create1", "event loop");
}

void EventLoop::Watch(int fd, Handler on_readable) {
  Unwatch(fd);
  auto entry = std::make_unique<Watched>(Watched{fd, next_serial_++, std::move(on_readable)});
  if (epoll_.Valid()) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = entry->serial;
    // A descriptor closed without being unwatched leaves its registration
    // behind while a copy of it (a child's, say) lives on: take that over.
    if (::epoll_ctl(epoll_.Get(), EPOLL_CTL_ADD, fd, &event) != 0 &&
        (errno != EEXIST || ::epoll_ctl(epoll_.Get(), EPOLL_CTL_MOD, fd, &event) != 0)) {
      if (!failure_) failure_ = posix::LastError("epoll_ctl", "descriptor " + std::to_string(fd));
    }
  }
  watched_.push_back(std::move(entry));
}

void EventLoop::Unwatch(int fd) {
  for (const std::unique_ptr<Watched>& entry : watched_) {
    if (entry->fd != fd || entry->unwatched) continue;
    // Fails only for a descriptor already closed, which the kernel forgot.
    if (epoll_.Valid()) (void)::epoll_ctl(epoll_.Get(), EPOLL_CTL_DEL, fd, nullptr);
    entry->unwatched = true;
    any_unwatched_ = true;
  }
  if (!dispatching_) DropUnwatched();
}

EventLoop::Watched* EventLoop::Find(std::uint64_t serial) {
  for (const std::unique_ptr<Watched>& entry : watched_) {
    if (entry->serial == serial) return entry->unwatched ? nullptr : entry.get();
  }
  return nullptr;
}

void EventLoop::DropUnwatched() {
  if (!std::exchange(any_unwatched_, false)) return;
  std::erase_if(watched_, [](const std::unique_ptr<Watched>& entry) { return entry->unwatched; });
}

OsStatus EventLoop::Run() {
  stopped_ = false;
  epoll_event events[kEventsPerWake];
  while (!stopped_) {
    if (failure_) return *failure_;
    const int ready = ::epoll_wait(epoll_.Get(), events, kEventsPerWake, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return posix::LastError("epoll_wait", "event loop");
    }
    dispatching_ = true;
    for (int i = 0; i < ready && !stopped_; ++i) {
      // A handler may have unwatched or replaced this descriptor, or any
      // other, since the wake-up: run only the one that is still watched.
      // It stays in place while it runs, even when it unwatches itself.
      if (Watched* entry = Find(events[i].data.u64)) entry->handler();
    }
    dispatching_ = false;
    DropUnwatched();
  }
  return {};
}

std::optional<TimerFd> TimerFd::Create(OsError* error) {
  posix::UniqueFd fd(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC));
  if (!fd.Valid()) {
    if (error) *error = posix::LastError("timerfd_create", "CLOCK_MONOTONIC");
    return std::nullopt;
  }
  return TimerFd(std::move(fd));
}

namespace {

timespec TimespecOf(std::chrono::nanoseconds span) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(span);
  return {static_cast<time_t>(seconds.count()), static_cast<long>((span - seconds).count())};
}

// The first multiple of `period` on the monotonic clock that lies after now.
std::chrono::nanoseconds NextMultipleOf(std::chrono::nanoseconds period) {
  timespec clock{};
  ::clock_gettime(CLOCK_MONOTONIC, &clock);  // the timers' own clock; cannot fail
  const std::chrono::nanoseconds now =
      std::chrono::seconds(clock.tv_sec) + std::chrono::nanoseconds(clock.tv_nsec);
  return (now / period + 1) * period;
}

}  // namespace

OsStatus TimerFd::Arm(std::chrono::milliseconds period, bool periodic) {
  itimerspec setting{};
  int flags = 0;
  if (periodic && period.count() > 0) {
    // Periodic timers tick on multiples of their period, so that a timer
    // whose period is a multiple of another's (the LED's 200 ms and the
    // poll's 25 ms) expires at the same moment and the program wakes once
    // for both. The first tick therefore comes within one period.
    setting.it_value = TimespecOf(NextMultipleOf(period));
    setting.it_interval = TimespecOf(period);
    flags = TFD_TIMER_ABSTIME;
  } else {
    setting.it_value = TimespecOf(period);
    // A zero value would disarm the timer: the shortest wait is 1 ns.
    if (setting.it_value.tv_sec == 0 && setting.it_value.tv_nsec == 0) setting.it_value.tv_nsec = 1;
  }
  if (::timerfd_settime(fd_.Get(), flags, &setting, nullptr) != 0) {
    return posix::LastError("timerfd_settime", "timer");
  }
  return {};
}

void TimerFd::Disarm() {
  const itimerspec off{};
  // Disarming a valid timerfd cannot fail.
  (void)::timerfd_settime(fd_.Get(), 0, &off, nullptr);
  // An expiration counted before the disarm would still wake the loop.
  (void)TakeExpirations();
}

std::uint64_t TimerFd::TakeExpirations() {
  std::uint64_t count = 0;
  if (::read(fd_.Get(), &count, sizeof count) != static_cast<ssize_t>(sizeof count)) return 0;
  return count;
}

std::optional<SignalFd> SignalFd::Create(std::initializer_list<int> signals, OsError* error) {
  sigset_t mask;
  sigemptyset(&mask);
  for (int signal : signals) sigaddset(&mask, signal);
  // Blocked first: a signal that comes before the descriptor exists stays
  // pending and is read from it later, instead of ending the program.
  if (const int code = ::pthread_sigmask(SIG_BLOCK, &mask, nullptr); code != 0) {
    if (error) *error = posix::SystemError(code, "pthread_sigmask", "SIG_BLOCK");
    return std::nullopt;
  }
  posix::UniqueFd fd(::signalfd(-1, &mask, SFD_NONBLOCK | SFD_CLOEXEC));
  if (!fd.Valid()) {
    if (error) *error = posix::LastError("signalfd", "signals");
    (void)::pthread_sigmask(SIG_UNBLOCK, &mask, nullptr);  // back as it was
    return std::nullopt;
  }
  return SignalFd(std::move(fd), std::vector<int>(signals));
}

SignalFd::SignalFd(SignalFd&& other) noexcept
    : fd_(std::move(other.fd_)), signals_(std::exchange(other.signals_, {})) {}

SignalFd::~SignalFd() {
  if (signals_.empty()) return;
  sigset_t mask;
  sigemptyset(&mask);
  for (int signal : signals_) sigaddset(&mask, signal);
  (void)::pthread_sigmask(SIG_UNBLOCK, &mask, nullptr);  // nothing to do if it fails
}

std::optional<int> SignalFd::TakeSignal() {
  signalfd_siginfo info{};
  if (::read(fd_.Get(), &info, sizeof info) != static_cast<ssize_t>(sizeof info)) {
    return std::nullopt;
  }
  return static_cast<int>(info.ssi_signo);
}

void ReapEndedChildren() {
  // Signals of several children that end together arrive as one.
  while (::waitpid(-1, nullptr, WNOHANG) > 0) {
  }
}

}  // namespace pelorin::linux_os
