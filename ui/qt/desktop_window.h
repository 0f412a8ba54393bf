#pragma once
#include <QTimer>
#include <array>
#include <cstdint>
#include <string>

#include "platform/trace.h"
#include "ui/program_window.h"
#include "ui/program_window_events.h"
#include "ui/qt/properties_dialog.h"
#include "ui/qt/tray_icon.h"

namespace pelorin::qt {

// The program's main window on the Linux desktop: the properties window
// (shown and hidden, never destroyed while the program runs), the four
// timers of the Windows window as Qt timers with the same periods, and the
// tray icon. Timer ticks, tray clicks, the menu's items and the window's
// close request and showing go to the program's handlers.
//
// The program runs in the Qt application's event loop; ending that loop
// also ends any loop nested in it (an open box or dialog), so nothing keeps
// the program alive once it ends.
class DesktopWindow final : public ProgramWindow {
 public:
  // `tell` gets the line that says why no tray icon appears.
  explicit DesktopWindow(PropertiesDialog& dialog, TraceSink& tell = StandardErrorTrace());
  DesktopWindow(const DesktopWindow&) = delete;
  DesktopWindow& operator=(const DesktopWindow&) = delete;

  // Where the ticks and the window's events go; set once the program
  // exists, before the loop runs. Nothing goes anywhere before.
  void SetEvents(ProgramWindowEvents& events) { events_ = &events; }

  // Nothing on Linux addresses the window by an id.
  WindowId Id() const override { return kNoWindow; }
  void StartTimer(WindowTimer timer) override;
  void StopTimer(WindowTimer timer) override;
  bool TimerRunning(WindowTimer timer) const override;

  bool Visible() const override;
  void Show() override;
  void Hide() override;
  void BringToFront() override;
  void SetCaption(const std::string& caption) override;
  void ProcessMessages() override;
  void EndMessageLoop() override;

  void AddTrayIcon() override { tray_.Add(); }
  void RemoveTrayIcon() override { tray_.Remove(); }
  void OpenTrayMenuAtCursor() override;
  void EnableTrayMenuItem(TrayMenuItem item, bool enabled) override {
    tray_.EnableItem(item, enabled);
  }
  void SetTrayTip(const std::string& tip) override { tray_.SetTip(tip); }

  TrayIcon& Tray() { return tray_; }

 private:
  QTimer& TimerOf(WindowTimer timer);
  void OnTick(WindowTimer timer);

  PropertiesDialog& dialog_;
  ProgramWindowEvents* events_ = nullptr;
  std::array<QTimer, 4> timers_;
  // Whether each timer runs as the program sees it: a one-shot timer still
  // runs during its own tick (the program ignores ticks of stopped timers),
  // and has run out after it unless the tick started it again.
  std::array<bool, 4> running_{};
  std::array<std::uint64_t, 4> starts_{};  // counts starts, to see a restart inside a tick
  TrayIcon tray_;
};

}  // namespace pelorin::qt
