#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "actions/command_dispatcher.h"
#include "actions/player_channel.h"
#include "actions/playlist_folders.h"
#include "actions/system_volume.h"
#include "app/apply_settings.h"
#include "app/program_services.h"
#include "config/settings.h"
#include "config/settings_store.h"
#include "engine/player_absent_policy.h"
#include "engine/poll_cycle.h"
#include "indicators/led_driver.h"
#include "indicators/tray_clicks.h"
#include "input/lost_port_watch.h"
#include "input/port_channel.h"
#include "ui/help_about_tab.h"
#include "ui/program_window_events.h"
#include "ui/properties_window.h"
#include "ui/remap_dialog.h"

namespace pelorin {

inline constexpr const char* kUninstallQuestion = "Do you really want to uninstall\r\nPelorin?";
inline constexpr const char* kPlayerNotFoundWarning =
    "Unable to find Winamp installed!\n\nProgram will be unable to start Winamp.";

// The one object that owns the program's run-time state (port channels,
// button states, the live Settings, the store, the system volume, the instance lock)
// and carries the handlers of the properties window. It composes the
// subsystems and holds none of their logic.
class Program final : public ProgramWindowEvents,
                      private TrayHost,
                      private PropertiesHost,
                      private PropertiesWindowOpener,
                      private PollTimerControl,
                      private PlayerLauncher,
                      private ShellStarter,
                      private WiringPictureWriter {
 public:
  Program(const ProgramServices& services, const ProgramViews& views, ProgramFacts facts);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Texts and initial layout of every window, and the timers in their
  // initial states; once the views exist.
  void Initialise();

  // ProgramWindowEvents
  void OnTimer(WindowTimer timer) override;
  std::intptr_t OnUserMessage(std::uintptr_t wparam, std::intptr_t lparam) override;
  void TrayMessage(std::uint32_t mouse_message) override {
    tray_clicks_.TrayMessage(mouse_message);
  }
  void OnTrayMenu(TrayMenuItem item) override;
  bool OnCloseRequest() override;
  bool OnSessionEndQuery() override;
  void OnSessionEnd() override;
  void OnTaskbarCreated() override;
  void OnShown() override { properties_.OnShown(); }
  void PortArrived() override { lost_ports_.PortArrived(); }

  // The handlers of the window's timers and tray menu.
  void OnStartupTick();
  void StartUp();
  void OnPollTick();
  void OnLedTick() { leds_.Step(); }
  void OnTrayClickTick() { tray_clicks_.OnTrayClickTick(settings_.Options.OnTrayClick); }
  void ShowPropertiesClicked();
  void StartPlayerClicked();
  void VolumeClicked();
  // Ends the program in order: the settings stored, the LEDs cleared, the
  // tray icon removed and the loop ended (also the end on SIGTERM).
  void ExitClicked();
  // Reads the configuration file again and applies it, as a load in the
  // properties window does: pending edits are dropped and the ports opened
  // anew (on SIGHUP).
  void ReloadSettings();
  WindowId FindRunningInstance();
  std::intptr_t NotifyRunningInstance(std::uintptr_t code, std::intptr_t lparam);
  // Asks the copy already running to show its properties window.
  void ShowRunningInstance();

  // The parts the Win32 views wire their controls to.
  PropertiesWindow& Properties() { return properties_; }
  HelpAboutTab& HelpAbout() { return help_about_; }
  RemapDialog& PrimaryRemap() { return primary_remap_; }
  RemapDialog& SecondaryRemap() { return secondary_remap_; }

  // For tests and read-outs.
  const Settings& LiveSettings() const { return settings_; }
  const PortChannel& Primary() const { return primary_; }
  const PortChannel& Secondary() const { return secondary_; }
  const std::string& PlayerDirectory() const { return player_directory_; }

 private:
  bool HandleCommandLine();
  void StartPlayerIfWanted(bool player_not_found);
  // Starts the system's volume control: its simple form (a single slider)
  // or the full mixer.
  void StartVolumeControl(bool simple);
  void ClearLeds();
  // The tray tip names the ports that are lost; set only when that changed.
  void ShowLostPortsInTip();
  // The end on a close request or the session's end: lock, timers, LEDs and
  // ports released in that order, the tray icon removed.
  void EndOnClose(bool store_settings);
  // Tells the user of the run's first save that failed; the rest stay quiet.
  void ReportSaveFailure(const SaveFailure& failure);

  // TrayHost
  void StartClickTimer() override { window_.StartTimer(WindowTimer::TrayClickTimer); }
  void StopClickTimer() override { window_.StopTimer(WindowTimer::TrayClickTimer); }
  bool ClickTimerRunning() const override {
    return window_.TimerRunning(WindowTimer::TrayClickTimer);
  }
  void ShowProperties() override { ShowPropertiesClicked(); }
  void OpenMenuAtCursor() override { window_.OpenTrayMenuAtCursor(); }
  void RunClickAction(TrayClickAction action) override;

  // PropertiesHost
  void LoadSettings() override { store_.ReadSettings(settings_); }
  // Nothing is stored before the start-up has read the file: an end that
  // comes first (a signal, a close) must not replace it with defaults.
  void WriteSettings() override {
    if (settings_read_) store_.WriteSettings(settings_);
  }
  bool ApplySettings() override;
  void ResetAskOnce() override { policy_.ClearAskedOnce(); }
  void HideWindow() override { window_.Hide(); }
  std::string ConfigFilePath() override { return store_.ConfigPath(); }
  std::string DefaultConfigFilePath() override { return store_.DefaultConfigPath(); }
  bool UseConfigFile(const std::string& path) override;
  std::vector<ComPortNumber> ReportedPorts() override {
    return services_.serial_ports.ReportedPorts();
  }
  std::optional<std::vector<SerialDeviceName>> ReportedDevices() override {
    // Without a display the window is shown to no one: its list of devices
    // would cost a reading of the device folder at every start for nothing.
    if (!facts_.has_display || !services_.serial_ports.OpensPaths()) return std::nullopt;
    return services_.serial_ports.ReportedDevices();
  }

  // PropertiesWindowOpener
  void ShowPropertiesWindow() override { ShowPropertiesClicked(); }

  // PollTimerControl and PlayerLauncher
  void StopPollTimer() override { window_.StopTimer(WindowTimer::PollTimer); }
  bool StartPollTimer() override;
  void StartPlayer() override { StartPlayerClicked(); }

  // ShellStarter and WiringPictureWriter
  void StartFile(const std::string& file, const std::string& parameters,
                 const std::string& directory) override;
  void WriteBitmap(WiringPicture picture, const std::string& path) override;

  ProgramServices services_;
  ProgramWindow& window_;
  ProgramViews views_;
  ProgramFacts facts_;

  Settings settings_;
  PortChannel primary_;
  PortChannel secondary_;
  PlayerChannel& player_;
  SettingsStore store_;
  std::unique_ptr<RegistryKey> run_key_;
  SystemVolume volume_;
  PlaylistFolders playlist_;
  CommandDispatcher dispatcher_;
  PlayerAbsentPolicy policy_;
  LedDriver leds_;
  RemapDialog primary_remap_;
  RemapDialog secondary_remap_;
  PropertiesWindow properties_;
  HelpAboutTab help_about_;
  PollCycle cycle_;
  LostPortWatch lost_ports_;
  TrayClicks tray_clicks_;

  std::unique_ptr<InstanceLock> instance_lock_;
  std::mt19937 random_;
  std::string player_directory_;
  bool tray_icon_shown_ = false;
  // The lost ports the tray tip names now (0: none).
  ComPortNumber tip_primary_;
  ComPortNumber tip_secondary_;
  // Set when one of the program's ends begins. Message boxes run message
  // loops of their own, in which an end can happen; whatever was waiting on
  // such a box then must neither restart a timer nor send a command.
  bool ending_ = false;
  // The user has been told that a save failed (once per run is enough).
  bool save_failure_reported_ = false;
  // The start-up has read the settings from the file.
  bool settings_read_ = false;
  // The session asks whether it may end: no box may hold it up now.
  bool session_end_query_ = false;
};

}  // namespace pelorin
