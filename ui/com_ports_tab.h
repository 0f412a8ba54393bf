#pragma once
#include <functional>

#include "config/settings.h"
#include "engine/cycle_views.h"
#include "input/decoder.h"
#include "ui/controls_view.h"

namespace pelorin {

class MappingEditor;

// Controls of the "COM ports" tab. The secondary group repeats the primary
// group's controls in the same order (ComPortsControlOf); the check box lies
// between the groups.
enum class ComPortsControl {
  // The primary group.
  GroupBox1,
  Label1,
  ComboBox1,
  Label1Mode,
  ComboBox1PortMode,
  Button1Remap,
  Label1Inds,
  Label1HwBtns,
  DCDi,
  DSRi,
  CTSi,
  RIi,
  Label1VBtns,
  Label4B1,
  Ind1B1,
  Ind1B2,
  Ind1B3,
  Ind1B4,
  Label15B1,
  Ind1B15,
  // The secondary group, in the same order.
  GroupBox2,
  Label2,
  ComboBox2,
  Label2Mode,
  ComboBox2PortMode,
  Button2Remap,
  Label2Inds,
  Label2HwBtns,
  DCDi2,
  DSRi2,
  CTSi2,
  RIi2,
  Label2VBtns,
  Label4B2,
  Ind2B1,
  Ind2B2,
  Ind2B3,
  Ind2B4,
  Label15B2,
  Ind2B15,
  // Between the groups.
  CheckBoxPort2,
};
inline constexpr int kComPortsGroupSize =
    static_cast<int>(ComPortsControl::GroupBox2) - static_cast<int>(ComPortsControl::GroupBox1);

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
  void ShowSettings();

  // User events.
  void PortSelected(PortRole port, int index);      // ComboBox1Change / ComboBox2Change
  void PortModeSelected(PortRole port, int index);  // ComboBox1PortModeChange / ComboBox2...
  // The check box as now shown; the window calls this for a click and when a
  // loaded value differs from what the box shows.
  bool Port2BoxTicked() const { return port2_box_ticked_; }
  void ShowPort2Box(bool ticked);
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

  Settings& settings_;
  ComPortsView& view_;
  MappingEditor& editor_;
  std::function<void()> modified_;
  bool port2_box_ticked_ = true;
};

}  // namespace pelorin
