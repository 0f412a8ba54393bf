#pragma once
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "config/settings.h"
#include "engine/cycle_views.h"
#include "input/decoder.h"
#include "platform/com_port.h"
#include "platform/serial_device.h"
#include "ui/controls_view.h"

namespace pelorin {

class MappingEditor;

// Controls of the "COM ports" tab. The secondary group repeats the primary
// group's controls in the same order (ComPortsControlOf); the check box lies
// between the groups.
enum class ComPortsControl {
  // The primary group.
  PrimaryGroup,
  PrimaryPortLabel,
  PrimaryPortList,
  PrimaryModeLabel,
  PrimaryModeList,
  PrimaryRemapButton,
  PrimaryIndicatorsLabel,
  PrimaryLinesLabel,
  PrimaryDcdIndicator,
  PrimaryDsrIndicator,
  PrimaryCtsIndicator,
  PrimaryRiIndicator,
  PrimaryButtonsLabel,
  PrimaryFourButtonsLabel,
  PrimaryButton1Indicator,
  PrimaryButton2Indicator,
  PrimaryButton3Indicator,
  PrimaryButton4Indicator,
  PrimaryCombinationLabel,
  PrimaryCombinationIndicator,
  // The secondary group, in the same order.
  SecondaryGroup,
  SecondaryPortLabel,
  SecondaryPortList,
  SecondaryModeLabel,
  SecondaryModeList,
  SecondaryRemapButton,
  SecondaryIndicatorsLabel,
  SecondaryLinesLabel,
  SecondaryDcdIndicator,
  SecondaryDsrIndicator,
  SecondaryCtsIndicator,
  SecondaryRiIndicator,
  SecondaryButtonsLabel,
  SecondaryFourButtonsLabel,
  SecondaryButton1Indicator,
  SecondaryButton2Indicator,
  SecondaryButton3Indicator,
  SecondaryButton4Indicator,
  SecondaryCombinationLabel,
  SecondaryCombinationIndicator,
  // Between the groups.
  UseSecondaryCheck,
};
inline constexpr int kComPortsGroupSize = static_cast<int>(ComPortsControl::SecondaryGroup) -
                                          static_cast<int>(ComPortsControl::PrimaryGroup);

constexpr ComPortsControl ComPortsControlOf(PortRole port, ComPortsControl primary) {
  return static_cast<ComPortsControl>(static_cast<int>(primary) +
                                      static_cast<int>(IndexOf(port)) * kComPortsGroupSize);
}

using ComPortsView = ControlsView<ComPortsControl>;

// The "COM ports" tab: port and wiring-mode choices of both ports, and the
// live indicators that the poll cycle drives on every tick. Ports are 1 and 2.
class ComPortsTab final : public PortIndicatorView, public LineIndicatorView {
 public:
  ComPortsTab(Settings& settings, ComPortsView& view, MappingEditor& editor,
              std::function<void()> modified);

  // Fixed texts and list entries; called once when the view exists. The check
  // box starts ticked with the secondary controls enabled.
  void Initialise();
  // Shows the ports and modes of the live Settings; the wiring modes rebuild
  // the Winamp tab's button lists (the caller clears pending changes after).
  // The port lists offer COM1..COM16, then, in number order, every higher
  // port in `reported` (what the system reports now) or chosen in the
  // Settings (so that a chosen adapter that is unplugged still shows).
  //
  // Where ports are opened by path, `devices` holds the devices present
  // now, and the port lists offer those instead, in their order, then every
  // device chosen in the Settings that is not among them; each list selects
  // its port's chosen device (none when it has none: its port number then
  // decides what is opened, and a choice here replaces that).
  void ShowSettings(const std::vector<ComPortNumber>& reported,
                    const std::optional<std::vector<SerialDeviceName>>& devices = std::nullopt);

  // User events: list entry `index` of a port's list, or of its wiring-mode
  // list, was chosen. A port list's entry sets the port number, or, where
  // the lists offer devices, the device path (the number stays as it was:
  // the edition without paths still opens it).
  void PortSelected(PortRole port, int index);
  void PortModeSelected(PortRole port, int index);
  // The check box as now shown; the window calls this for a click and when a
  // loaded value differs from what the box shows.
  bool UseSecondaryTicked() const { return use_secondary_ticked_; }
  void ShowUseSecondary(bool ticked);
  // Enables the secondary group's listed controls and colours its lists.
  void SetSecondaryEnabled(bool enabled);

  // Indicators, called by the poll cycle: the four status lines of a port...
  void ShowLines(PortRole port, const LineLevels& lines) override;
  // ...and the decoded hardware buttons and combination code.
  void ShowHardwareButton(PortRole port, int index, bool pressed) override;
  void ShowCombinationCode(PortRole port, int code) override;

 private:
  ComPortsControl Id(PortRole port, ComPortsControl primary) const {
    return ComPortsControlOf(port, primary);
  }
  void ShowPortNumbers(const std::vector<ComPortNumber>& reported);
  void ShowDevices(const std::vector<SerialDeviceName>& devices);

  Settings& settings_;
  ComPortsView& view_;
  MappingEditor& editor_;
  std::function<void()> modified_;
  bool use_secondary_ticked_ = true;
  // The port of each list entry, as now offered...
  std::vector<ComPortNumber> listed_;
  // ...or, where the lists offer devices, the device of each entry.
  bool offers_devices_ = false;
  std::vector<SerialDeviceName> listed_devices_;
  // The indicators as last shown, per port. The poll cycle reports them 40
  // times a second and they change a few times at most: the view hears
  // only of changes.
  std::array<std::optional<LineLevels>, 2> shown_lines_;
  std::array<std::array<std::optional<bool>, 4>, 2> shown_buttons_;
};

}  // namespace pelorin
