#include "ui/options_tab.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "config/lists.h"

namespace pelorin {
namespace {

using O = OptionsControl;

std::vector<std::string> Texts(auto const& list) {
  return {list.begin(), list.end()};
}

constexpr int kDoubleClickMin = 1, kDoubleClickMax = 10;
constexpr int kTurboMin = 1, kTurboMax = 100, kTurboPageStep = 10;

struct Caption {
  O control;
  const char* text;
};
constexpr std::array<Caption, 20> kCaptions = {{
    {O::InactiveLabel, "When Winamp is not running, on any button click do:"},
    {O::TrayClickLabel, "On a single tray icon click do:"},
    {O::StartWithWindowsCheck, "Start when Windows starts"},
    {O::StartPlayerCheck, "Start Winamp on startup"},
    {O::WarnPlayerMissingCheck, "Warn if Winamp not found"},
    {O::DoubleClickSpeedLabel, "Double-click speed:"},
    {O::DoubleClickSpeedMinLabel, "100ms"},
    {O::DoubleClickSpeedMaxLabel, "1sec"},
    {O::TurboSpeedLabel, "Turbo speed (times per second):"},
    {O::TurboSpeedMinLabel, "1"},
    {O::TurboSpeedMaxLabel, "100"},
    {O::DoubleClickTestLabel, "Double-click test (for any button):"},
    {O::LedGroup, "LED - connects to: pins 5 and 7  (or 4 and 7)"},
    {O::PrimaryLedLabel, "Primary:"},
    {O::PrimaryLedWhenLabel, "when"},
    {O::SecondaryLedLabel, "Secondary:"},
    {O::SecondaryLedWhenLabel, "when"},
    {O::ConfigFileLabel, "Config:"},
    {O::BrowseConfigButton, "Browse..."},
    {O::InternetLabel, "Internet connection type:"},
}};

template <typename Choice>
int InListOrNone(Choice choice, std::size_t size) {
  const int value = SelectionOf(choice);
  return lists::InList(value, size) ? value : kNoSelection;
}

}  // namespace

std::string DoubleClickSpeedText(int position) {
  return position == kDoubleClickMax ? "1sec" : std::to_string(position * 100) + "ms";
}

OptionsTab::OptionsTab(Settings& settings, OptionsView& view, FileDialogs& dialogs,
                       std::function<void()> modified)
    : settings_(settings), view_(view), dialogs_(dialogs), modified_(std::move(modified)) {}

void OptionsTab::Initialise() {
  for (const Caption& caption : kCaptions) view_.SetText(caption.control, caption.text);
  view_.SetItems(O::InactiveList, Texts(lists::kIfInactive));
  view_.SetItems(O::TrayClickList, Texts(lists::kOnTrayClick));
  view_.SetItems(O::InternetList, Texts(lists::kInternetType));
  for (O list : {O::PrimaryLedModeList, O::SecondaryLedModeList})
    view_.SetItems(list, Texts(lists::kLedMode));
  for (O list : {O::PrimaryLedConditionList, O::SecondaryLedConditionList}) {
    view_.SetItems(list, Texts(lists::kLedCondition));
  }
  view_.SetRange(O::DoubleClickSpeedBar, kDoubleClickMin, kDoubleClickMax, 1);
  std::vector<int> every_position;
  for (int p = kDoubleClickMin + 1; p < kDoubleClickMax; ++p) every_position.push_back(p);
  view_.SetTicks(O::DoubleClickSpeedBar, every_position);
  view_.SetRange(O::TurboSpeedBar, kTurboMin, kTurboMax, kTurboPageStep);
  view_.SetColour(O::ConfigFileField, Colour::ButtonFace);
  // The connection type is kept and stored but never offered.
  view_.SetVisible(O::InternetLabel, false);
  view_.SetVisible(O::InternetList, false);
  test_picture_ = 0;
  view_.SetSelection(O::DoubleClickTestPicture, test_picture_);
}

void OptionsTab::ShowSettings() {
  const OptionsGroup& options = settings_.Options;
  view_.SetSelection(O::InactiveList, InListOrNone(options.IfInactive, lists::kIfInactive.size()));
  view_.SetSelection(O::TrayClickList,
                     InListOrNone(options.OnTrayClick, lists::kOnTrayClick.size()));
  view_.SetSelection(O::InternetList,
                     InListOrNone(options.InternetType, lists::kInternetType.size()));
  view_.SetChecked(O::StartWithWindowsCheck, options.AutoStartup);
  view_.SetChecked(O::StartPlayerCheck, options.WinampOnStartup);
  view_.SetChecked(O::WarnPlayerMissingCheck, options.Warn);
  const int speed = std::clamp(options.DblClickSpeed, kDoubleClickMin, kDoubleClickMax);
  view_.SetPosition(O::DoubleClickSpeedBar, speed);
  view_.SetText(O::DoubleClickSpeedReadout, DoubleClickSpeedText(speed));
  const int turbo = std::clamp(options.TurboCPS, kTurboMin, kTurboMax);
  view_.SetPosition(O::TurboSpeedBar, turbo);
  view_.SetText(O::TurboSpeedReadout, std::to_string(turbo));
  for (PortRole port : kPortRoles) {
    const PortGroup& group = settings_.PortSettings(port);
    view_.SetSelection(port == PortRole::Primary ? O::PrimaryLedModeList : O::SecondaryLedModeList,
                       InListOrNone(group.LED, lists::kLedMode.size()));
    view_.SetSelection(port == PortRole::Primary ? O::PrimaryLedConditionList : O::SecondaryLedConditionList,
                       InListOrNone(group.LEDwhen, lists::kLedCondition.size()));
  }
}

void OptionsTab::ShowConfigPath(const std::string& path) {
  view_.SetText(O::ConfigFileField, path);
}

bool OptionsTab::StoreListChoice(OptionsControl control, int index) {
  switch (control) {
    case O::InactiveList:
      settings_.Options.IfInactive = ChoiceAt<InactivePolicy>(index);
      return true;
    case O::TrayClickList:
      settings_.Options.OnTrayClick = ChoiceAt<TrayClickAction>(index);
      return true;
    case O::InternetList:
      settings_.Options.InternetType = ChoiceAt<ConnectionType>(index);
      return true;
    case O::PrimaryLedModeList:
      settings_.Primary.LED = ChoiceAt<LedMode>(index);
      return true;
    case O::PrimaryLedConditionList:
      settings_.Primary.LEDwhen = ChoiceAt<LedCondition>(index);
      return true;
    case O::SecondaryLedModeList:
      settings_.Secondary.LED = ChoiceAt<LedMode>(index);
      return true;
    case O::SecondaryLedConditionList:
      settings_.Secondary.LEDwhen = ChoiceAt<LedCondition>(index);
      return true;
    default:
      return false;
  }
}

bool* OptionsTab::CheckField(OptionsControl control) {
  switch (control) {
    case O::StartWithWindowsCheck:
      return &settings_.Options.AutoStartup;
    case O::StartPlayerCheck:
      return &settings_.Options.WinampOnStartup;
    case O::WarnPlayerMissingCheck:
      return &settings_.Options.Warn;
    default:
      return nullptr;
  }
}

void OptionsTab::ListSelected(OptionsControl control, int index) {
  if (index >= 0 && StoreListChoice(control, index)) modified_();
}

void OptionsTab::CheckBoxClicked(OptionsControl control, bool checked) {
  if (bool* field = CheckField(control)) {
    *field = checked;
    modified_();
  }
}

void OptionsTab::DoubleClickSpeedMoved(int position) {
  settings_.Options.DblClickSpeed = std::clamp(position, kDoubleClickMin, kDoubleClickMax);
  view_.SetText(O::DoubleClickSpeedReadout, DoubleClickSpeedText(settings_.Options.DblClickSpeed));
  modified_();
}

void OptionsTab::TurboSpeedMoved(int position) {
  settings_.Options.TurboCPS = std::clamp(position, kTurboMin, kTurboMax);
  view_.SetText(O::TurboSpeedReadout, std::to_string(settings_.Options.TurboCPS));
  modified_();
}

void OptionsTab::PlaceTurboTicks() {
  if (turbo_ticks_placed_) return;
  turbo_ticks_placed_ = true;
  view_.SetTicks(O::TurboSpeedBar, {10, 20, 30, 40, 50, 60, 70, 80, 90});
}

void OptionsTab::FlipTestPicture() {
  test_picture_ = test_picture_ == 1 ? 0 : 1;
  view_.SetSelection(O::DoubleClickTestPicture, test_picture_);
}

void OptionsTab::SetSecondaryEnabled(bool enabled) {
  for (O control : {O::SecondaryLedLabel, O::SecondaryLedModeList, O::SecondaryLedWhenLabel,
                    O::SecondaryLedConditionList}) {
    view_.SetEnabled(control, enabled);
  }
  const Colour colour = enabled ? Colour::Window : Colour::ButtonFace;
  view_.SetColour(O::SecondaryLedModeList, colour);
  view_.SetColour(O::SecondaryLedConditionList, colour);
}

std::optional<std::string> OptionsTab::AskConfigFile(const std::string& current_path,
                                                     const std::string& default_path) {
  const std::string path =
      current_path.find('\\') == std::string::npos ? default_path : current_path;
  const auto backslash = path.rfind('\\');
  FileDialogRequest request;
  request.title = "Use config file:";
  request.filter = "INI files|*.ini|All files|*.*";
  request.default_extension = "ini";
  request.path_must_exist = true;
  request.hide_read_only = true;
  request.prompt_overwrite = false;
  // With no backslash even in the default path, the whole text is the folder.
  request.initial_directory = backslash == std::string::npos ? path : path.substr(0, backslash);
  request.file_name = backslash == std::string::npos ? "" : path.substr(backslash + 1);
  return dialogs_.Save(request);
}

}  // namespace pelorin
