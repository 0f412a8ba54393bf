#include "ui/com_ports_tab.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "config/lists.h"
#include "platform/com_port.h"
#include "ui/mapping_editor.h"

namespace pelorin {
namespace {

using C = ComPortsControl;

std::vector<std::string> Texts(auto const& list) {
  return {list.begin(), list.end()};
}

// COM1..COM16 keep their places from older versions; higher ports follow.
std::vector<ComPortNumber> ListedPorts(std::vector<ComPortNumber> higher) {
  std::vector<ComPortNumber> listed;
  for (int number = 1; number <= static_cast<int>(lists::kPorts.size()); ++number) {
    listed.push_back({number});
  }
  std::erase_if(higher, [&](ComPortNumber port) {
    return port.value <= static_cast<int>(lists::kPorts.size()) || !IsComPortNumber(port.value);
  });
  std::sort(higher.begin(), higher.end());
  higher.erase(std::unique(higher.begin(), higher.end()), higher.end());
  listed.insert(listed.end(), higher.begin(), higher.end());
  return listed;
}

std::vector<std::string> PortNames(const std::vector<ComPortNumber>& ports) {
  std::vector<std::string> names;
  names.reserve(ports.size());
  for (ComPortNumber port : ports) names.push_back("COM" + std::to_string(port.value));
  return names;
}

// The devices present, then the chosen ones that are not among them (an
// adapter that is unplugged, or a path written into the file by hand), so
// that every port's choice still shows.
std::vector<SerialDeviceName> ListedDevices(std::vector<SerialDeviceName> listed,
                                            const Settings& settings) {
  for (PortRole port : kPortRoles) {
    const std::string& chosen = settings.PortSettings(port).Device;
    if (chosen.empty()) continue;
    if (std::ranges::none_of(listed, [&](const auto& device) { return device.path == chosen; })) {
      listed.push_back({.path = chosen, .stands_for = {}});
    }
  }
  return listed;
}

// A stable name is long and its folder says nothing: it shows by its own
// name with the device it stands for now ("usb-FTDI_...-port0 (ttyUSB0)").
// Any other device shows by its full path, as it would be written.
std::vector<std::string> DeviceNames(const std::vector<SerialDeviceName>& devices) {
  std::vector<std::string> names;
  names.reserve(devices.size());
  for (const SerialDeviceName& device : devices) {
    if (device.stands_for.empty()) {
      names.push_back(device.path);
    } else {
      const std::size_t last_slash = device.path.find_last_of('/');
      names.push_back(device.path.substr(last_slash + 1) + " (" + device.stands_for + ")");
    }
  }
  return names;
}

template <typename Entry>
int EntryOf(const std::vector<Entry>& listed, auto matches) {
  const auto entry = std::ranges::find_if(listed, matches);
  return entry != listed.end() ? static_cast<int>(entry - listed.begin()) : kNoSelection;
}

}  // namespace

ComPortsTab::ComPortsTab(Settings& settings, ComPortsView& view, MappingEditor& editor,
                         std::function<void()> modified)
    : settings_(settings), view_(view), editor_(editor), modified_(std::move(modified)) {}

void ComPortsTab::Initialise() {
  for (PortRole port : kPortRoles) {
    const bool primary = port == PortRole::Primary;
    view_.SetText(Id(port, C::PrimaryGroup), primary ? "Primary COM-port" : "Secondary COM-port");
    view_.SetText(Id(port, C::PrimaryPortLabel), "Serial port:");
    view_.SetItems(Id(port, C::PrimaryPortList), Texts(lists::kPorts));
    view_.SetText(Id(port, C::PrimaryModeLabel), "Mode:");
    view_.SetItems(Id(port, C::PrimaryModeList), Texts(lists::kPortMode));
    view_.SetText(Id(port, C::PrimaryRemapButton), "Remap 4 buttons...");
    view_.SetText(Id(port, C::PrimaryIndicatorsLabel), "Indicators:");
    view_.SetText(Id(port, C::PrimaryLinesLabel), "COM port buttons:");
    view_.SetText(Id(port, C::PrimaryDcdIndicator), "DCD");
    view_.SetText(Id(port, C::PrimaryDsrIndicator), "DSR");
    view_.SetText(Id(port, C::PrimaryCtsIndicator), "CTS");
    view_.SetText(Id(port, C::PrimaryRiIndicator), "RI");
    view_.SetText(Id(port, C::PrimaryButtonsLabel),
                  primary ? "Virtual buttons:" : "Virtual buttons");
    view_.SetText(Id(port, C::PrimaryFourButtonsLabel), "4:");
    for (int k = 0; k < 4; ++k) {
      const int shown_number = (primary ? 1 : 5) + k;
      view_.SetText(Id(port, static_cast<C>(static_cast<int>(C::PrimaryButton1Indicator) + k)),
                    std::to_string(shown_number));
    }
    view_.SetText(Id(port, C::PrimaryCombinationLabel), "15:");
    view_.SetText(Id(port, C::PrimaryCombinationIndicator), "");
  }
  listed_ = ListedPorts({});
  view_.SetText(C::UseSecondaryCheck, "Use secondary COM-port");
  view_.SetChecked(C::UseSecondaryCheck, true);
  use_secondary_ticked_ = true;
}

void ComPortsTab::ShowSettings(const std::vector<ComPortNumber>& reported,
                               const std::optional<std::vector<SerialDeviceName>>& devices) {
  offers_devices_ = devices.has_value();
  if (offers_devices_) {
    ShowDevices(*devices);
  } else {
    ShowPortNumbers(reported);
  }
  for (PortRole port : kPortRoles) {
    const PortGroup& group = settings_.PortSettings(port);
    const PortMode mode = lists::InList(SelectionOf(group.Mode), lists::kPortMode.size())
                              ? group.Mode
                              : PortMode::None;
    view_.SetSelection(Id(port, C::PrimaryModeList), SelectionOf(mode));
    editor_.RebuildButtonList(port, mode);
  }
}

void ComPortsTab::ShowPortNumbers(const std::vector<ComPortNumber>& reported) {
  std::vector<ComPortNumber> higher = reported;
  for (PortRole port : kPortRoles) higher.push_back({settings_.PortSettings(port).Port});
  listed_ = ListedPorts(std::move(higher));
  listed_devices_.clear();
  for (PortRole port : kPortRoles) {
    const ComPortNumber chosen{settings_.PortSettings(port).Port};
    view_.SetItems(Id(port, C::PrimaryPortList), PortNames(listed_));
    view_.SetSelection(Id(port, C::PrimaryPortList),
                       EntryOf(listed_, [&](ComPortNumber listed) { return listed == chosen; }));
  }
}

void ComPortsTab::ShowDevices(const std::vector<SerialDeviceName>& devices) {
  listed_devices_ = ListedDevices(devices, settings_);
  listed_.clear();
  for (PortRole port : kPortRoles) {
    const std::string& chosen = settings_.PortSettings(port).Device;
    view_.SetItems(Id(port, C::PrimaryPortList), DeviceNames(listed_devices_));
    view_.SetSelection(Id(port, C::PrimaryPortList),
                       EntryOf(listed_devices_, [&](const SerialDeviceName& listed) {
                         return !chosen.empty() && listed.path == chosen;
                       }));
  }
}

void ComPortsTab::PortSelected(PortRole port, int index) {
  if (offers_devices_) {
    // An entry past the end is no choice; the device chosen before stays.
    if (!lists::InList(index, listed_devices_.size())) return;
    settings_.PortSettings(port).Device = listed_devices_[static_cast<std::size_t>(index)].path;
    modified_();
    return;
  }
  settings_.PortSettings(port).Port =
      lists::InList(index, listed_.size()) ? listed_[static_cast<std::size_t>(index)].value : 0;
  modified_();
}

void ComPortsTab::PortModeSelected(PortRole port, int index) {
  if (!lists::InList(index, lists::kPortMode.size())) return;
  settings_.PortSettings(port).Mode = ChoiceAt<PortMode>(index);
  editor_.RebuildButtonList(port, ChoiceAt<PortMode>(index));
  modified_();
}

void ComPortsTab::ShowUseSecondary(bool ticked) {
  view_.SetChecked(C::UseSecondaryCheck, ticked);
  use_secondary_ticked_ = ticked;
}

void ComPortsTab::SetSecondaryEnabled(bool enabled) {
  constexpr C kEnabled[] = {C::SecondaryGroup,
                            C::SecondaryPortLabel,
                            C::SecondaryModeLabel,
                            C::SecondaryRemapButton,
                            C::SecondaryIndicatorsLabel,
                            C::SecondaryLinesLabel,
                            C::SecondaryButtonsLabel,
                            C::SecondaryFourButtonsLabel,
                            C::SecondaryCombinationLabel,
                            C::SecondaryDcdIndicator,
                            C::SecondaryDsrIndicator,
                            C::SecondaryCtsIndicator,
                            C::SecondaryRiIndicator,
                            C::SecondaryButton1Indicator,
                            C::SecondaryButton2Indicator,
                            C::SecondaryButton3Indicator,
                            C::SecondaryButton4Indicator};
  for (C control : kEnabled) view_.SetEnabled(control, enabled);
  const Colour colour = enabled ? Colour::Window : Colour::ButtonFace;
  view_.SetColour(C::SecondaryPortList, colour);
  view_.SetColour(C::SecondaryModeList, colour);
}

void ComPortsTab::ShowLines(PortRole port, const LineLevels& lines) {
  std::optional<LineLevels>& shown = shown_lines_[IndexOf(port)];
  if (shown == lines) return;
  shown = lines;
  view_.SetChecked(Id(port, C::PrimaryDcdIndicator), lines.dcd);
  view_.SetChecked(Id(port, C::PrimaryDsrIndicator), lines.dsr);
  view_.SetChecked(Id(port, C::PrimaryCtsIndicator), lines.cts);
  view_.SetChecked(Id(port, C::PrimaryRiIndicator), lines.ri);
}

void ComPortsTab::ShowHardwareButton(PortRole port, int index, bool pressed) {
  if (index < 0 || index > 3) return;
  std::optional<bool>& shown = shown_buttons_[IndexOf(port)][static_cast<std::size_t>(index)];
  if (shown == pressed) return;
  shown = pressed;
  view_.SetChecked(Id(port, static_cast<C>(static_cast<int>(C::PrimaryButton1Indicator) + index)),
                   pressed);
}

void ComPortsTab::ShowCombinationCode(PortRole port, int code) {
  const bool pressed = code >= 1 && code <= 15;
  view_.SetText(Id(port, C::PrimaryCombinationIndicator), pressed ? std::to_string(code) : "");
  view_.SetChecked(Id(port, C::PrimaryCombinationIndicator), pressed);
}

}  // namespace pelorin
