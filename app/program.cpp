#include "app/program.h"

#include <utility>
#include <vector>

#include "actions/command_catalogue.h"
#include "app/command_line.h"
#include "app/startup_locations.h"
#include "app/uninstall.h"
#include "ui/bitmap_file.h"
#include "ui/wiring_pictures.h"

namespace pelorin {
namespace {

// The system's volume control. Since Windows Vista it is the volume mixer,
// "sndvol.exe" (found on the search path): without an argument it opens the
// full mixer, with "-f" the single master slider that the notification area
// used to open (a well-known switch of it; Microsoft documents none).
// Windows before Vista had "sndvol32.exe" instead, with "/t" for its small
// control; it is started only where it still exists in the system folder.
constexpr const char* kVolumeMixer = "sndvol.exe";
constexpr const char* kVolumeMixerSliderSwitch = "-f";
constexpr const char* kOldVolumeControl = "sndvol32.exe";
constexpr const char* kOldVolumeControlSimpleSwitch = "/t";

MessageBoxRequest SaveFailureBox(const SaveFailure& failure, WindowId owner) {
  MessageBoxRequest box;
  box.owner = owner;
  box.text = "Pelorin could not save its settings in\r\n" + failure.path + "\r\n\r\n" +
             failure.reason +
             ".\r\n\r\nThe changes stay in effect until Pelorin ends. To keep them, choose "
             "another configuration file on the Options tab.";
  box.caption = kProgramCaption;
  box.icon = MessageIcon::Warning;
  return box;
}

}  // namespace

Program::Program(const ProgramServices& services, const ProgramViews& views, ProgramFacts facts)
    : services_(services),
      window_(views.window),
      views_(views),
      facts_(std::move(facts)),
      primary_(PortRole::Primary, services.serial_ports, services.message_boxes),
      secondary_(PortRole::Secondary, services.serial_ports, services.message_boxes),
      player_(services.player),
      store_(services.files, services.registry, facts_.executable_path, facts_.path_separator),
      volume_(services.audio),
      playlist_(player_),
      dispatcher_({settings_, player_, playlist_, volume_, services.keyboard, services.shell,
                   services.power, [this] { WriteSettings(); }, facts_.path_separator}),
      policy_(services.message_boxes, services.messaging, *this, *this),
      leds_(primary_, secondary_, settings_, player_),
      primary_remap_(
          PortRole::Primary, settings_, views.primary_remap, store_,
          [this](bool enabled) { views_.frame.SetEnabled(FrameControl::Window, enabled); }),
      secondary_remap_(
          PortRole::Secondary, settings_, views.secondary_remap, store_,
          [this](bool enabled) { views_.frame.SetEnabled(FrameControl::Window, enabled); }),
      properties_(settings_, *this, views.frame, views.com_ports, views.winamp, views.options,
                  views.file_dialogs, primary_remap_, secondary_remap_),
      help_about_(views.help_about, views.file_dialogs, *this, *this),
      cycle_({services.clock, settings_, primary_, secondary_, player_, dispatcher_, policy_, leds_,
              properties_.ComPorts(), properties_.ComPorts(), properties_.Options(), primary_remap_,
              secondary_remap_}),
      lost_ports_(services.clock, primary_, secondary_),
      tray_clicks_(*this),
      random_(std::random_device{}()) {
  store_.SetView(&properties_.Options());
  store_.SetBareNameFolder(facts_.bare_config_name_folder);
  store_.SetPerUserFolder(facts_.user_app_data);
  store_.SetGivenPath(facts_.default_config_path);
  policy_.SetCanAsk(facts_.has_display);
  store_.SetSaveFailureHandler([this](const SaveFailure& failure) { ReportSaveFailure(failure); });
}

void Program::Initialise() {
  const WindowId owner = window_.Id();
  primary_.SetOwner(owner);
  secondary_.SetOwner(owner);
  policy_.SetMainWindow(owner);
  properties_.Initialise();
  primary_remap_.Initialise();
  secondary_remap_.Initialise();
  help_about_.Initialise();
  // The timers' states at creation: the one-shot start-up tick and the LED
  // step run; the poll timer waits for the start-up, the click timer for a
  // click.
  window_.StartTimer(WindowTimer::StartupTimer);
  window_.StartTimer(WindowTimer::LedTimer);
}

void Program::OnTimer(WindowTimer timer) {
  // A tick of a stopped timer comes from outside (a posted WM_TIMER) or was
  // queued before the timer stopped: the start-up must not run twice, nor a
  // poll cycle inside the "Start Winamp?" question.
  if (!window_.TimerRunning(timer)) return;
  switch (timer) {
    case WindowTimer::StartupTimer:
      OnStartupTick();
      break;
    case WindowTimer::PollTimer:
      OnPollTick();
      break;
    case WindowTimer::LedTimer:
      OnLedTick();
      break;
    case WindowTimer::TrayClickTimer:
      OnTrayClickTick();
      break;
  }
}

void Program::OnStartupTick() {
  // One-shot: the start-up runs once, inside the message loop.
  window_.StopTimer(WindowTimer::StartupTimer);
  StartUp();
}

bool Program::HandleCommandLine() {
  const CommandLineRequest request = ParseStartRequest(facts_.first_argument);
  if (request == CommandLineRequest::Uninstall) {
    MessageBoxRequest box;
    box.owner = window_.Id();
    box.text = kUninstallQuestion;
    box.caption = "Uninstall";
    box.icon = MessageIcon::Warning;
    box.buttons = MessageButtons::YesNo;
    box.default_button = 2;
    if (services_.message_boxes.Show(box) == MessageAnswer::Yes) {
      NotifyRunningInstance(kQuitRequest, 0);
      UninstallProgram(services_.registry, services_.files, services_.shell, facts_.executable_path,
                       random_);
    }
    window_.EndMessageLoop();
    return false;
  }
  if (request == CommandLineRequest::Install) {
    WriteUninstallEntry(services_.registry, facts_.executable_path);
    // Resident, an elevated copy could be reached by no normal copy (Windows
    // keeps a lower program's messages from a higher one) and would keep
    // them from starting (it holds the single-instance lock): it ends here.
    if (facts_.elevated) {
      window_.EndMessageLoop();
      return false;
    }
  }
  return true;
}

void Program::StartUp() {
  if (!HandleCommandLine()) return;
  instance_lock_ = services_.instance_locks.Acquire(kInstanceMutexName);
  if (!instance_lock_) {
    // Another copy runs. Its icon may be out of sight (Windows 11 puts new
    // icons in the overflow), so a second start opens its window, then ends.
    ShowRunningInstance();
    window_.EndMessageLoop();
    return;
  }
  run_key_ = OpenRunKey(services_.registry);
  store_.SetRunKey(run_key_.get());

  const PlayerLocation player = services_.player_program.Locate();
  player_directory_ = player.directory;
  if (!player.found) window_.EnableTrayMenuItem(TrayMenuItem::StartPlayer, false);
  if (facts_.desktop_mixer && facts_.desktop_mixer->empty()) {
    window_.EnableTrayMenuItem(TrayMenuItem::Volume, false);
  }
  player_.UsePlaylistFiles(
      PlaylistFileCandidates(player_directory_, facts_.user_app_data, facts_.user_local_app_data));

  store_.Open();
  std::vector<std::string> commands;
  FillCommandList(commands, player_directory_, services_.files);
  properties_.Editor().FillCommandLists(commands);
  properties_.ReadSettings();
  settings_read_ = true;
  if (!ApplySettings()) properties_.SettingChanged();
  // Each box above runs a message loop of its own, in which the program may
  // have been told to end: then the start-up stops where it is.
  if (ending_) return;
  StartPlayerIfWanted(!player.found);
  if (ending_) return;

  // Shut down and restart need the privilege on the NT family; a failure
  // only means those commands will not work.
  if (facts_.nt_family) services_.power.EnableShutdownPrivilege();
  window_.StartTimer(WindowTimer::PollTimer);
  window_.AddTrayIcon();
  tray_icon_shown_ = true;
}

void Program::OnPollTick() {
  cycle_.Run();
  // The cycle may have shown the "Start Winamp?" question, inside which the
  // program may have been told to end: then no port is touched again.
  if (ending_) return;
  lost_ports_.OnCycle();
  ShowLostPortsInTip();
}

void Program::ShowLostPortsInTip() {
  const ComPortNumber primary = primary_.LostPort();
  const ComPortNumber secondary = secondary_.LostPort();
  if (primary == tip_primary_ && secondary == tip_secondary_) return;
  tip_primary_ = primary;
  tip_secondary_ = secondary;
  window_.SetTrayTip(TrayTipText(primary, secondary));
}

void Program::StartPlayerIfWanted(bool player_not_found) {
  if (player_not_found) {
    if (!settings_.Options.Warn) return;
    MessageBoxRequest box;
    box.owner = window_.Id();
    box.text = kPlayerNotFoundWarning;
    box.caption = kProgramCaption;
    box.icon = MessageIcon::Warning;
    services_.message_boxes.Show(box);
  } else if (settings_.Options.WinampOnStartup) {
    StartPlayerClicked();
  }
}

WindowId Program::FindRunningInstance() {
  // Without its own caption this copy cannot find itself.
  window_.SetCaption("");
  window_.ProcessMessages();
  return services_.messaging.FindWindow(kMainWindowClass, kMainWindowCaption);
}

std::intptr_t Program::NotifyRunningInstance(std::uintptr_t code, std::intptr_t lparam) {
  const WindowId running = FindRunningInstance();
  if (running == kNoWindow) return 0;
  return services_.messaging.SendAndWait(running, kWmUser, code, lparam);
}

void Program::ShowRunningInstance() {
  const WindowId running = FindRunningInstance();
  if (running == kNoWindow) return;
  // This copy was just started by the user and may take the foreground; the
  // running copy, in the background, may only when it is passed on.
  services_.messaging.AllowForeground(running);
  // A hung copy is not waited for: this one ends either way.
  services_.messaging.Send(running, kWmUser, kShowRequest, 0);
}

std::intptr_t Program::OnUserMessage(std::uintptr_t wparam, std::intptr_t lparam) {
  switch (wparam) {
    case kShowRequest:
      ShowPropertiesClicked();
      return 0;
    case kPortHandleQuery:
      if (lparam == 0) return primary_.Handle();
      if (lparam == 1) return secondary_.Handle();
      return -1;
    case kQuitRequest:
      // Ends at once: neither the settings nor the LEDs are touched.
      ending_ = true;
      window_.RemoveTrayIcon();
      tray_icon_shown_ = false;
      window_.EndMessageLoop();
      return 0;
    default:
      return 0;
  }
}

void Program::OnTrayMenu(TrayMenuItem item) {
  switch (item) {
    case TrayMenuItem::Properties:
      ShowPropertiesClicked();
      break;
    case TrayMenuItem::StartPlayer:
      StartPlayerClicked();
      break;
    case TrayMenuItem::Volume:
      VolumeClicked();
      break;
    case TrayMenuItem::Exit:
      ExitClicked();
      break;
  }
}

void Program::ShowPropertiesClicked() {
  if (!window_.Visible()) window_.Show();
  window_.BringToFront();
  // A visible remap dialog keeps the window disabled: bring it forward too.
  if (primary_remap_.IsShown()) views_.primary_remap.SetFocus(RemapControl::Dialog);
  if (secondary_remap_.IsShown()) views_.secondary_remap.SetFocus(RemapControl::Dialog);
}

void Program::StartPlayerClicked() {
  services_.player_program.Start(player_directory_);
}

void Program::VolumeClicked() {
  StartVolumeControl(true);
}

void Program::StartVolumeControl(bool simple) {
  // A desktop's mixer has one form for both entries.
  if (facts_.desktop_mixer) {
    if (!facts_.desktop_mixer->empty())
      services_.shell.Execute(*facts_.desktop_mixer, "", "", kShowShow);
    return;
  }
  const bool old = !facts_.system_folder.empty() &&
                   services_.files.FileExists(facts_.system_folder + "\\" + kOldVolumeControl);
  const char* file = old ? kOldVolumeControl : kVolumeMixer;
  const char* simple_switch = old ? kOldVolumeControlSimpleSwitch : kVolumeMixerSliderSwitch;
  services_.shell.Execute(file, simple ? simple_switch : "", "", kShowShow);
}

void Program::ExitClicked() {
  ending_ = true;
  WriteSettings();
  window_.RemoveTrayIcon();
  tray_icon_shown_ = false;
  ClearLeds();
  window_.EndMessageLoop();
}

void Program::ReloadSettings() {
  // Before the start-up there is nothing to read again: it reads the file.
  if (ending_ || !settings_read_) return;
  properties_.ReadSettings();
  if (!ApplySettings()) properties_.SettingChanged();
}

bool Program::OnCloseRequest() {
  if (window_.Visible()) return properties_.OnCloseRequest(true);
  // Hidden: a close came from outside; the window closes and the program
  // ends.
  EndOnClose(true);
  return true;
}

bool Program::OnSessionEndQuery() {
  // A visible window refuses, as for any close request, and is cancelled.
  if (window_.Visible()) return properties_.OnCloseRequest(true);
  // Only the settings, which a forced end would otherwise lose: a cancelled
  // end must leave the program running with its icon, port and timers.
  session_end_query_ = true;
  WriteSettings();
  session_end_query_ = false;
  return true;
}

void Program::OnSessionEnd() {
  // The settings were stored when the session asked.
  EndOnClose(false);
  window_.EndMessageLoop();
}

void Program::EndOnClose(bool store_settings) {
  ending_ = true;
  if (instance_lock_) instance_lock_->Release();
  window_.StopTimer(WindowTimer::TrayClickTimer);
  window_.StopTimer(WindowTimer::PollTimer);
  window_.StopTimer(WindowTimer::StartupTimer);
  window_.StopTimer(WindowTimer::LedTimer);
  ClearLeds();
  primary_.Close();
  secondary_.Close();
  if (store_settings) WriteSettings();
  window_.RemoveTrayIcon();
  tray_icon_shown_ = false;
}

void Program::ReportSaveFailure(const SaveFailure& failure) {
  // A box would hold up the end of the session, which cannot wait for an
  // answer; the trace has the failure.
  if (save_failure_reported_ || session_end_query_) return;
  // Set before the box: its message loop may run another failing save.
  save_failure_reported_ = true;
  services_.message_boxes.Show(SaveFailureBox(failure, window_.Id()));
}

bool Program::StartPollTimer() {
  if (ending_) return false;
  window_.StartTimer(WindowTimer::PollTimer);
  return true;
}

void Program::ClearLeds() {
  primary_.SetRts(false);
  secondary_.SetRts(false);
}

void Program::OnTaskbarCreated() {
  // A restarted shell forgets every icon; without ours the program could not
  // be reached, since a second copy ends silently.
  if (tray_icon_shown_) window_.AddTrayIcon();
}

void Program::RunClickAction(TrayClickAction action) {
  switch (action) {
    case TrayClickAction::StartPlayer:
      StartPlayerClicked();
      break;
    case TrayClickAction::OpenVolumeControl:
      StartVolumeControl(false);
      break;
    case TrayClickAction::OpenSimpleVolumeControl:
      StartVolumeControl(true);
      break;
    case TrayClickAction::OpenPlayerFileDialog:
      player_.OpenFileDialog(player_.FindPlayer());
      break;
    case TrayClickAction::OpenProperties:
      ShowPropertiesClicked();
      break;
    case TrayClickAction::Nothing:
    case TrayClickAction::None:  // an entry outside the list does nothing
      break;
  }
}

bool Program::ApplySettings() {
  primary_.WatchForReturn(settings_.Options.Reconnect);
  secondary_.WatchForReturn(settings_.Options.Reconnect);
  const bool applied = pelorin::ApplySettings(settings_, primary_, secondary_, *this);
  ShowLostPortsInTip();
  return applied;
}

bool Program::UseConfigFile(const std::string& path) {
  const bool existed = services_.files.FileExists(path);
  store_.UseConfigFile(path, settings_);
  return existed;
}

void Program::StartFile(const std::string& file, const std::string& parameters,
                        const std::string& directory) {
  services_.shell.Execute(file, parameters, directory, kShowShow);
}

void Program::WriteBitmap(WiringPicture picture, const std::string& path) {
  const WiringDrawing drawing =
      picture == WiringPicture::FourButtons ? DrawFourButtonWiring() : DrawFifteenButtonWiring();
  const std::vector<std::uint8_t> bytes = EncodeBitmap(drawing.raster);
  // Replaces a file of that name; a failure is not reported, like the save
  // dialog's other outcomes.
  (void)services_.files.WriteFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace pelorin
