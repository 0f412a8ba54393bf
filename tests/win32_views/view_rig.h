#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "config/settings.h"
#include "ui/help_about_tab.h"
#include "ui/program_window_events.h"
#include "ui/properties_window.h"
#include "ui/remap_dialog.h"
#include "ui/win32/main_window.h"
#include "ui/win32/properties_view.h"
#include "ui/win32/remap_dialog_view.h"

namespace pelorin::testing {

// The rest of the program as the properties window sees it: a stored copy
// of Settings, ports that open or fail on request.
class ViewHost final : public PropertiesHost, public LineMapStore {
 public:
  ViewHost(Settings& live, win32::MainWindow& window) : live_(live), window_(window) {}
  void LoadSettings() override { live_ = stored; }
  void WriteSettings() override {
    ++writes;
    stored = live_;
  }
  bool ApplySettings() override { return ports_open; }
  void ResetAskOnce() override {}
  void HideWindow() override { window_.Hide(); }
  std::string ConfigFilePath() override { return "C:\\Pelorin\\Pelorin.ini"; }
  std::string DefaultConfigFilePath() override { return "C:\\Pelorin\\Pelorin.ini"; }
  bool UseConfigFile(const std::string&) override { return false; }
  std::vector<ComPortNumber> ReportedPorts() override { return {}; }
  LineMap ReadLineMap(PortRole port) override { return LineMapOf(stored.PortSettings(port)); }
  void WriteLineMap(PortRole port, const LineMap& map) override {
    SetLineMap(stored.PortSettings(port), map);
  }

  Settings stored;
  bool ports_open = true;
  int writes = 0;

 private:
  Settings& live_;
  win32::MainWindow& window_;
};

// The real Win32 properties window and remap dialogs, built with the real
// presenters over fakes, in this process. Messages are handled only while a
// test pumps them (Pump), so every step is deterministic.
class ViewRig final : public ProgramWindowEvents, public ShellStarter, public WiringPictureWriter {
 public:
  ViewRig();
  ~ViewRig() override;

  // Shows the properties window as the tray's "Properties" does.
  void ShowWindow();
  // Handles every queued message as the program's loop does.
  void Pump();
  // A key typed on the focused control: down and up through the loop.
  void PressKey(int virtual_key);
  // A user's choice in a drop-down list: the selection and its notification.
  void Choose(HWND combo, int index);
  void Click(HWND button);
  void SelectTab(int index);

  HWND Control(FrameControl c) { return view.Frame().Entry(c).hwnd; }
  HWND Control(ComPortsControl c) { return view.ComPorts().Entry(c).hwnd; }
  HWND Control(WinampControl c) { return view.Winamp().Entry(c).hwnd; }
  HWND Control(OptionsControl c) { return view.Options().Entry(c).hwnd; }
  HWND Control(HelpAboutControl c) { return view.HelpAbout().Entry(c).hwnd; }
  HWND Control(PortRole port, RemapControl c) {
    return (port == PortRole::Primary ? remap_view1 : remap_view2).Entry(c).hwnd;
  }
  static std::string Text(HWND hwnd);

  // ProgramWindowEvents
  void OnTimer(WindowTimer) override {}
  std::intptr_t OnUserMessage(std::uintptr_t code, std::intptr_t) override {
    requests.push_back(code);
    return 0;
  }
  void TrayMessage(std::uint32_t) override {}
  void OnTrayMenu(TrayMenuItem) override {}
  bool OnCloseRequest() override { return properties.OnCloseRequest(window.Visible()); }
  bool OnSessionEndQuery() override { return OnCloseRequest(); }
  void OnSessionEnd() override {}
  void OnTaskbarCreated() override {}
  void OnShown() override { properties.OnShown(); }
  void PortArrived() override { ++port_arrivals; }

  // ShellStarter, WiringPictureWriter
  void StartFile(const std::string& file, const std::string& parameters,
                 const std::string&) override {
    started.push_back(file + " " + parameters);
  }
  void WriteBitmap(WiringPicture, const std::string& path) override { saved.push_back(path); }

  Settings settings;
  win32::MainWindow window;
  ViewHost host{settings, window};
  win32::PropertiesView view;
  win32::RemapDialogView remap_view1, remap_view2;
  RemapDialog remap1, remap2;
  PropertiesWindow properties;
  HelpAboutTab help_about;
  std::vector<std::string> started, saved;
  std::vector<std::uintptr_t> requests;  // WM_USER requests taken from other copies
  int port_arrivals = 0;
};

}  // namespace pelorin::testing
