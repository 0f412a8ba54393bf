#pragma once
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ui/program_window.h"

namespace pelorin::testing {

// The properties window and its message loop, as state a test can inspect.
// `log` records the calls that have an order worth checking.
class FakeProgramWindow final : public ProgramWindow {
 public:
  WindowId Id() const override { return 0x7001; }
  void StartTimer(WindowTimer timer) override {
    Log("start " + NameOf(timer));
    running_[Index(timer)] = true;
  }
  void StopTimer(WindowTimer timer) override {
    Log("stop " + NameOf(timer));
    running_[Index(timer)] = false;
  }
  bool TimerRunning(WindowTimer timer) const override { return running_[Index(timer)]; }
  bool Visible() const override { return visible; }
  void Show() override {
    Log("show");
    visible = true;
  }
  void Hide() override {
    Log("hide");
    visible = false;
  }
  void BringToFront() override { Log("front"); }
  void SetCaption(const std::string& text) override { caption = text; }
  void ProcessMessages() override { Log("process messages"); }
  void EndMessageLoop() override {
    Log("end loop");
    loop_ended = true;
  }
  void AddTrayIcon() override {
    Log("add tray icon");
    ++tray_icon_adds;
    tray_icon = true;
  }
  void RemoveTrayIcon() override {
    Log("remove tray icon");
    tray_icon = false;
  }
  void OpenTrayMenuAtCursor() override { Log("menu"); }
  void EnableTrayMenuItem(TrayMenuItem item, bool enabled) override {
    menu_enabled_[static_cast<std::size_t>(item)] = enabled;
  }
  void SetTrayTip(const std::string& tip) override {
    Log("tip " + tip);
    tray_tip = tip;
  }
  bool MenuItemEnabled(TrayMenuItem item) const {
    return menu_enabled_[static_cast<std::size_t>(item)];
  }

  bool visible = false;
  bool loop_ended = false;
  bool tray_icon = false;
  int tray_icon_adds = 0;
  std::string tray_tip = "Pelorin";
  std::string caption = "Pelorin Properties";
  std::vector<std::string> log;
  // Runs after each entry, so that a test can note what the other fakes
  // hold at that moment.
  std::function<void(const std::string&)> on_log;

 private:
  void Log(const std::string& entry) {
    log.push_back(entry);
    if (on_log) on_log(entry);
  }
  static std::string NameOf(WindowTimer timer) {
    switch (timer) {
      case WindowTimer::StartupTimer:
        return "start-up timer";
      case WindowTimer::PollTimer:
        return "poll timer";
      case WindowTimer::LedTimer:
        return "LED timer";
      case WindowTimer::TrayClickTimer:
        return "tray click timer";
    }
    return "?";
  }
  static std::size_t Index(WindowTimer timer) { return static_cast<std::size_t>(timer); }
  std::array<bool, 4> running_{};
  std::array<bool, 4> menu_enabled_{true, true, true, true};
};

}  // namespace pelorin::testing
