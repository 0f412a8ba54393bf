#include "app/linux/headless_window.h"

#include <chrono>
#include <utility>

namespace pelorin::linux_os {
namespace {

std::size_t IndexOf(WindowTimer timer) {
  return static_cast<std::size_t>(timer);
}

}  // namespace

std::unique_ptr<HeadlessWindow> HeadlessWindow::Create(EventLoop& loop, OsError* error) {
  std::array<std::optional<Timer>, 4> timers;
  for (WindowTimer timer : kWindowTimers) {
    std::optional<TimerFd> fd = TimerFd::Create(error);
    if (!fd) return nullptr;
    timers[IndexOf(timer)].emplace(Timer{std::move(*fd)});
  }
  return std::unique_ptr<HeadlessWindow>(new HeadlessWindow(loop, std::move(timers)));
}

HeadlessWindow::HeadlessWindow(EventLoop& loop, std::array<std::optional<Timer>, 4> timers)
    : loop_(loop), timers_(std::move(timers)) {
  for (WindowTimer timer : kWindowTimers) {
    loop_.Watch(timers_[IndexOf(timer)]->fd.Fd(), [this, timer] { OnExpired(timer); });
  }
}

HeadlessWindow::~HeadlessWindow() {
  for (const std::optional<Timer>& timer : timers_) loop_.Unwatch(timer->fd.Fd());
}

void HeadlessWindow::StartTimer(WindowTimer timer) {
  Timer& entry = *timers_[IndexOf(timer)];
  const WindowTimerPeriod setting = PeriodOf(timer);
  // A timer the system refuses to arm stays stopped, as a failing SetTimer
  // leaves none on Windows.
  entry.running = static_cast<bool>(
      entry.fd.Arm(std::chrono::milliseconds(setting.interval_ms), setting.periodic));
  ++entry.starts;
}

void HeadlessWindow::StopTimer(WindowTimer timer) {
  Timer& entry = *timers_[IndexOf(timer)];
  entry.fd.Disarm();
  entry.running = false;
}

bool HeadlessWindow::TimerRunning(WindowTimer timer) const {
  return timers_[IndexOf(timer)]->running;
}

void HeadlessWindow::OnExpired(WindowTimer timer) {
  Timer& entry = *timers_[IndexOf(timer)];
  // However many periods passed (the machine slept, a handler took long),
  // one tick: the engine reads the time from its clock, and a burst of
  // cycles would only replay the same lines.
  if (entry.fd.TakeExpirations() == 0 || events_ == nullptr) return;
  const std::uint64_t started = entry.starts;
  events_->OnTimer(timer);
  // A one-shot timer has run out, unless its own tick started it again.
  if (!PeriodOf(timer).periodic && entry.starts == started) entry.running = false;
}

void HeadlessWindow::EndMessageLoop() {
  // No timer may run once the program is ending: a late LED step would
  // light the LED again after the program cleared it.
  for (WindowTimer timer : kWindowTimers) StopTimer(timer);
  loop_.Stop();
}

}  // namespace pelorin::linux_os
