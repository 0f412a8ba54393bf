#pragma once
#include <windows.h>
// After <windows.h>, which it needs.
#include <shellapi.h>

#include <array>
#include <string>

#include "platform/identity.h"
#include "ui/program_window.h"
#include "ui/program_window_events.h"
#include "ui/win32/scoped_win.h"

namespace pelorin::win32 {

// What fills the properties window: its tabs and controls. The main window
// hands it every message it does not handle itself, first WM_INITDIALOG.
class DialogContent {
 public:
  virtual ~DialogContent() = default;
  // Handles `message` for the window `hwnd`; returns true when handled, with
  // the dialog procedure's answer in `result` (a value for DWLP_MSGRESULT is
  // set by the content itself).
  virtual bool HandleDialogMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                   INT_PTR& result) = 0;
};

// The properties window as a Win32 window: a modeless dialog of class
// "TForm1", caption "Pelorin Properties", hidden at start. It owns the four
// window timers, the tray icon and the tray menu, and forwards every event to
// the program's logic (ProgramWindowEvents).
class MainWindow final : public ProgramWindow {
 public:
  static constexpr UINT kTrayCallback = kTrayCallbackMessage;

  MainWindow() = default;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() override;

  // Registers the window class and creates the hidden window. `events` must
  // outlive the window.
  bool Create(HINSTANCE instance, ProgramWindowEvents& events, DialogContent* content = nullptr);
  // Runs the message loop until EndMessageLoop or the window is closed;
  // returns the exit code.
  int RunMessageLoop();
  HWND Handle() const { return hwnd_; }

  // ProgramWindow
  WindowId Id() const override { return reinterpret_cast<WindowId>(hwnd_); }
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
  void AddTrayIcon() override;
  void RemoveTrayIcon() override;
  void OpenTrayMenuAtCursor() override;
  void EnableTrayMenuItem(TrayMenuItem item, bool enabled) override;
  void SetTrayTip(const std::string& tip) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  bool HandleCommand(WORD id);
  bool TakePostedRequest(const MSG& msg);
  void CreateTrayMenu();
  static UniqueIcon LoadTrayIcon(HINSTANCE instance);
  NOTIFYICONDATAW TrayRecord() const;
  // One NIM_ADD (or NIM_MODIFY of an icon already there); true when the
  // shell shows the icon.
  bool TryAddTrayIcon();
  void SetResult(LRESULT result);

  HINSTANCE instance_ = nullptr;
  HWND hwnd_ = nullptr;
  ProgramWindowEvents* events_ = nullptr;
  DialogContent* content_ = nullptr;
  UniqueMenu tray_menu_;
  UniqueIcon tray_icon_;
  bool tray_icon_added_ = false;
  std::string tray_tip_ = "Pelorin";
  UINT taskbar_created_ = 0;
  std::array<bool, 4> timer_running_{};
};

}  // namespace pelorin::win32
