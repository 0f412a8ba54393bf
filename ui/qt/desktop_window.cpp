#include "ui/qt/desktop_window.h"

#include <QCoreApplication>

#include "ui/edition_texts.h"

namespace pelorin::qt {

DesktopWindow::DesktopWindow(PropertiesDialog& dialog, TraceSink& tell)
    : dialog_(dialog),
      tray_(
          [this](std::uint32_t mouse_message) {
            if (events_ != nullptr) events_->TrayMessage(mouse_message);
          },
          [this](TrayMenuItem item) {
            if (events_ != nullptr) events_->OnTrayMenu(item);
          },
          tell) {
  for (WindowTimer timer : kWindowTimers) {
    QTimer& entry = TimerOf(timer);
    const WindowTimerPeriod setting = PeriodOf(timer);
    entry.setInterval(setting.interval_ms);
    entry.setSingleShot(!setting.periodic);
    // The poll cycle keeps its 25 ms pace; the default coarse timers may
    // drift by 5 %, which the others do not mind.
    if (timer == WindowTimer::PollTimer) entry.setTimerType(Qt::PreciseTimer);
    QObject::connect(&entry, &QTimer::timeout, [this, timer] { OnTick(timer); });
  }
  dialog_.OnCloseRequest([this] { return events_ == nullptr || events_->OnCloseRequest(); });
  dialog_.OnShown([this] {
    if (events_ != nullptr) events_->OnShown();
  });
}

QTimer& DesktopWindow::TimerOf(WindowTimer timer) {
  return timers_[static_cast<std::size_t>(timer)];
}

void DesktopWindow::OnTick(WindowTimer timer) {
  const std::size_t index = static_cast<std::size_t>(timer);
  const std::uint64_t started = starts_[index];
  if (events_ != nullptr) events_->OnTimer(timer);
  if (!PeriodOf(timer).periodic && starts_[index] == started) running_[index] = false;
}

void DesktopWindow::StartTimer(WindowTimer timer) {
  const std::size_t index = static_cast<std::size_t>(timer);
  running_[index] = true;
  ++starts_[index];
  TimerOf(timer).start();
}

void DesktopWindow::StopTimer(WindowTimer timer) {
  running_[static_cast<std::size_t>(timer)] = false;
  TimerOf(timer).stop();
}

bool DesktopWindow::TimerRunning(WindowTimer timer) const {
  return running_[static_cast<std::size_t>(timer)];
}

bool DesktopWindow::Visible() const {
  return dialog_.isVisible();
}

void DesktopWindow::Show() {
  // The dialog's show hook tells the program, once per showing.
  dialog_.show();
}

void DesktopWindow::Hide() {
  dialog_.hide();
}

void DesktopWindow::BringToFront() {
  dialog_.raise();
  dialog_.activateWindow();
}

void DesktopWindow::SetCaption(const std::string& caption) {
  dialog_.setWindowTitle(QString::fromStdString(EditionText(caption)));
}

void DesktopWindow::ProcessMessages() {
  QCoreApplication::processEvents();
}

void DesktopWindow::EndMessageLoop() {
  // No timer may run once the program is ending: a late LED step would
  // light the LED again after the program cleared it.
  for (WindowTimer timer : kWindowTimers) StopTimer(timer);
  tray_.Remove();
  // Ends the application's loop and every loop nested in it (an open box
  // or dialog); a box opened afterwards returns at once.
  QCoreApplication::exit(0);
}

void DesktopWindow::OpenTrayMenuAtCursor() {
  tray_.OpenMenuAtCursor();
}

}  // namespace pelorin::qt
