#pragma once
#include <array>
#include <string>
#include <vector>

#include "app/form_window.h"

namespace pelorin::testing {

// The properties window and its message loop, as state a test can inspect.
// `log` records the calls that have an order worth checking.
class FakeFormWindow final : public FormWindow {
 public:
  WindowId Id() const override { return 0x7001; }
  void StartTimer(FormTimer timer) override { running_[Index(timer)] = true; }
  void StopTimer(FormTimer timer) override { running_[Index(timer)] = false; }
  bool TimerRunning(FormTimer timer) const override { return running_[Index(timer)]; }
  bool Visible() const override { return visible; }
  void Show() override {
    log.push_back("show");
    visible = true;
  }
  void Hide() override {
    log.push_back("hide");
    visible = false;
  }
  void BringToFront() override { log.push_back("front"); }
  void SetCaption(const std::string& text) override { caption = text; }
  void ProcessMessages() override { log.push_back("process messages"); }
  void EndMessageLoop() override {
    log.push_back("end loop");
    loop_ended = true;
  }
  void AddTrayIcon() override {
    log.push_back("add tray icon");
    ++tray_icon_adds;
    tray_icon = true;
  }
  void RemoveTrayIcon() override {
    log.push_back("remove tray icon");
    tray_icon = false;
  }
  void OpenTrayMenuAtCursor() override { log.push_back("menu"); }
  void EnableTrayMenuItem(TrayMenuItem item, bool enabled) override {
    menu_enabled_[static_cast<std::size_t>(item)] = enabled;
  }
  bool MenuItemEnabled(TrayMenuItem item) const {
    return menu_enabled_[static_cast<std::size_t>(item)];
  }

  bool visible = false;
  bool loop_ended = false;
  bool tray_icon = false;
  int tray_icon_adds = 0;
  std::string caption = "Pelorin Properties";
  std::vector<std::string> log;

 private:
  static std::size_t Index(FormTimer timer) { return static_cast<std::size_t>(timer); }
  std::array<bool, 4> running_{};
  std::array<bool, 4> menu_enabled_{true, true, true, true};
};

}  // namespace pelorin::testing
