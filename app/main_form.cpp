#include "app/main_form.h"

#include <utility>

namespace pelorin {
namespace {

// Requests another copy (or another program) may send with WM_USER.
constexpr std::uintptr_t kShowRequest = 0;
constexpr std::uintptr_t kPortHandleQuery = 1;
constexpr std::uintptr_t kQuitRequest = 2;

}  // namespace

MainForm::MainForm(MainFormServices services, std::string first_argument)
    : window_(services.window),
      instance_locks_(services.instance_locks),
      first_argument_(std::move(first_argument)) {}

void MainForm::OnTimer(FormTimer timer) {
  switch (timer) {
    case FormTimer::FormMiscTimer: FormMiscTimerTimer(); break;
    case FormTimer::ButtonStatusTimer1: break;
    case FormTimer::TimerLED: break;
    case FormTimer::TrayTimer1: tray_clicks_.TrayTimer1Timer(2); break;
  }
}

void MainForm::FormMiscTimerTimer() {
  // One-shot: the start-up runs once, inside the message loop.
  window_.StopTimer(FormTimer::FormMiscTimer);
  ProgramInit();
}

void MainForm::ProgramInit() {
  const StartRequest request = ParseStartRequest(first_argument_);
  if (request == StartRequest::Uninstall) {
    window_.EndMessageLoop();
    return;
  }
  instance_lock_ = instance_locks_.Acquire("Pelorin");
  if (!instance_lock_) {
    // Another copy runs: end silently, without disturbing it.
    window_.EndMessageLoop();
    return;
  }
  window_.ClientSize(startup_client_width_, startup_client_height_);
  window_.StartTimer(FormTimer::ButtonStatusTimer1);
  window_.AddTrayIcon();
  tray_icon_shown_ = true;
}

std::intptr_t MainForm::OnUserMessage(std::uintptr_t wparam, std::intptr_t lparam) {
  switch (wparam) {
    case kShowRequest: Item1Click(); return 0;
    case kPortHandleQuery: return lparam == 0 || lparam == 1 ? 0 : -1;
    case kQuitRequest:
      window_.RemoveTrayIcon();
      tray_icon_shown_ = false;
      window_.EndMessageLoop();
      return 0;
    default: return 0;
  }
}

void MainForm::OnTrayMenu(TrayMenuItem item) {
  switch (item) {
    case TrayMenuItem::Item1Properties: Item1Click(); break;
    case TrayMenuItem::Item2StartPlayer: Item2Click(); break;
    case TrayMenuItem::Item3Volume: Item3Click(); break;
    case TrayMenuItem::Item4Exit: Item4Click(); break;
  }
}

void MainForm::Item1Click() {
  if (!window_.Visible()) window_.Show();
  window_.BringToFront();
}

void MainForm::Item2Click() {}
void MainForm::Item3Click() {}

void MainForm::Item4Click() {
  window_.RemoveTrayIcon();
  tray_icon_shown_ = false;
  window_.EndMessageLoop();
}

bool MainForm::FormCloseQuery() {
  if (window_.Visible()) {
    window_.Hide();
    return false;
  }
  if (instance_lock_) instance_lock_->Release();
  window_.StopTimer(FormTimer::TrayTimer1);
  window_.StopTimer(FormTimer::ButtonStatusTimer1);
  window_.StopTimer(FormTimer::FormMiscTimer);
  window_.StopTimer(FormTimer::TimerLED);
  window_.RemoveTrayIcon();
  tray_icon_shown_ = false;
  return true;
}

void MainForm::OnTaskbarCreated() {
  // A restarted shell forgets every icon; without ours the program could not
  // be reached, since a second copy ends silently.
  if (tray_icon_shown_) window_.AddTrayIcon();
}

void MainForm::FormShow() {}

void MainForm::RunClickAction(TrayClickAction) {}

}  // namespace pelorin
