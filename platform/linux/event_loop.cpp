#include "platform/linux/event_loop.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/timerfd.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/posix/system_error.h"

namespace pelorin::linux_os {

void EventLoop::Watch(int fd, Handler on_readable) {
  Unwatch(fd);
  watched_.push_back({fd, std::move(on_readable), next_serial_++});
}

void EventLoop::Unwatch(int fd) {
  std::erase_if(watched_, [fd](const Watched& entry) { return entry.fd == fd; });
}

OsStatus EventLoop::Run() {
  stopped_ = false;
  std::vector<pollfd> polled;
  std::vector<std::uint64_t> serials;
  while (!stopped_) {
    polled.clear();
    serials.clear();
    for (const Watched& entry : watched_) {
      polled.push_back({entry.fd, POLLIN, 0});
      serials.push_back(entry.serial);
    }
    if (::poll(polled.data(), polled.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return posix::LastError("poll", "event loop");
    }
    for (std::size_t i = 0; i < polled.size() && !stopped_; ++i) {
      if (polled[i].revents == 0) continue;
      // A handler may have unwatched or replaced this descriptor, or any
      // other, since the wake-up: run only the one that is still watched.
      const auto entry = std::find_if(watched_.begin(), watched_.end(),
                                      [&](const Watched& w) { return w.serial == serials[i]; });
      if (entry == watched_.end()) continue;
      // A copy: the handler may unwatch itself, which destroys the original.
      const Handler handler = entry->handler;
      handler();
    }
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
