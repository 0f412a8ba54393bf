#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/form_events.h"
#include "app/form_window.h"
#include "indicators/tray_clicks.h"
#include "platform/instance_lock.h"

namespace pelorin {

// The operating-system services the program's central object works with.
struct MainFormServices {
  FormWindow& window;
  InstanceLocks& instance_locks;
};

// The one object that owns the program's run-time state and carries the
// handlers of the properties window. It composes the subsystems and holds
// none of their logic.
class MainForm final : public FormEvents, private TrayHost {
 public:
  MainForm(MainFormServices services, std::string first_argument);

  // FormEvents
  void OnTimer(FormTimer timer) override;
  std::intptr_t OnUserMessage(std::uintptr_t wparam, std::intptr_t lparam) override;
  void TrayMessage(std::uint32_t mouse_message) override { tray_clicks_.TrayMessage(mouse_message); }
  void OnTrayMenu(TrayMenuItem item) override;
  bool FormCloseQuery() override;
  void OnTaskbarCreated() override;
  void FormShow() override;

  void FormMiscTimerTimer();
  void ProgramInit();
  void Item1Click();
  void Item2Click();
  void Item3Click();
  void Item4Click();

 private:
  // TrayHost
  void StartClickTimer() override { window_.StartTimer(FormTimer::TrayTimer1); }
  void StopClickTimer() override { window_.StopTimer(FormTimer::TrayTimer1); }
  bool ClickTimerRunning() const override { return window_.TimerRunning(FormTimer::TrayTimer1); }
  void ShowProperties() override { Item1Click(); }
  void OpenMenuAtCursor() override { window_.OpenTrayMenuAtCursor(); }
  void RunClickAction(TrayClickAction action) override;

  FormWindow& window_;
  InstanceLocks& instance_locks_;
  std::string first_argument_;
  std::unique_ptr<InstanceLock> instance_lock_;
  TrayClicks tray_clicks_{*this};
  bool tray_icon_shown_ = false;
  int startup_client_width_ = 0;
  int startup_client_height_ = 0;
};

}  // namespace pelorin
