#include "ui/com_ports_tab.h"

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

}  // namespace

ComPortsTab::ComPortsTab(Settings& settings, ComPortsView& view, MappingEditor& editor,
                         std::function<void()> modified)
    : settings_(settings), view_(view), editor_(editor), modified_(std::move(modified)) {}

void ComPortsTab::Initialise() {
  for (PortRole port : kPortRoles) {
    const bool primary = port == PortRole::Primary;
    view_.SetText(Id(port, C::GroupBox1), primary ? "Primary COM-port" : "Secondary COM-port");
    view_.SetText(Id(port, C::Label1), "Serial port:");
    view_.SetItems(Id(port, C::ComboBox1), Texts(lists::kPorts));
    view_.SetText(Id(port, C::Label1Mode), "Mode:");
    view_.SetItems(Id(port, C::ComboBox1PortMode), Texts(lists::kPortMode));
    view_.SetText(Id(port, C::Button1Remap), "Remap 4 buttons...");
    view_.SetText(Id(port, C::Label1Inds), "Indicators:");
    view_.SetText(Id(port, C::Label1HwBtns), "COM port buttons:");
    view_.SetText(Id(port, C::DCDi), "DCD");
    view_.SetText(Id(port, C::DSRi), "DSR");
    view_.SetText(Id(port, C::CTSi), "CTS");
    view_.SetText(Id(port, C::RIi), "RI");
    view_.SetText(Id(port, C::Label1VBtns), primary ? "Virtual buttons:" : "Virtual buttons");
    view_.SetText(Id(port, C::Label4B1), "4:");
    for (int k = 0; k < 4; ++k) {
      const int shown_number = (primary ? 1 : 5) + k;
      view_.SetText(Id(port, static_cast<C>(static_cast<int>(C::Ind1B1) + k)),
                    std::to_string(shown_number));
    }
    view_.SetText(Id(port, C::Label15B1), "15:");
    view_.SetText(Id(port, C::Ind1B15), "");
  }
  view_.SetText(C::CheckBoxPort2, "Use secondary COM-port");
  view_.SetChecked(C::CheckBoxPort2, true);
  port2_box_ticked_ = true;
}

void ComPortsTab::ShowSettings() {
  for (PortRole port : kPortRoles) {
    const PortGroup& group = settings_.PortSettings(port);
    const PortListIndex entry = ListIndexOf(ComPortNumber{group.Port});
    view_.SetSelection(Id(port, C::ComboBox1), lists::InList(entry.value, lists::kPorts.size())
                                                   ? entry.value
                                                   : kNoSelection);
    const PortMode mode = lists::InList(SelectionOf(group.Mode), lists::kPortMode.size())
                              ? group.Mode
                              : PortMode::None;
    view_.SetSelection(Id(port, C::ComboBox1PortMode), SelectionOf(mode));
    editor_.RebuildButtonList(port, mode);
  }
}

void ComPortsTab::PortSelected(PortRole port, int index) {
  settings_.PortSettings(port).Port =
      lists::InList(index, lists::kPorts.size()) ? NumberAt(PortListIndex{index}).value : 0;
  modified_();
}

void ComPortsTab::PortModeSelected(PortRole port, int index) {
  if (!lists::InList(index, lists::kPortMode.size())) return;
  settings_.PortSettings(port).Mode = ChoiceAt<PortMode>(index);
  editor_.RebuildButtonList(port, ChoiceAt<PortMode>(index));
  modified_();
}

void ComPortsTab::ShowPort2Box(bool ticked) {
  view_.SetChecked(C::CheckBoxPort2, ticked);
  port2_box_ticked_ = ticked;
}

void ComPortsTab::SetSecondaryEnabled(bool enabled) {
  constexpr C kEnabled[] = {
      C::GroupBox2,   C::Label2,   C::Label2Mode, C::Button2Remap, C::Label2Inds, C::Label2HwBtns,
      C::Label2VBtns, C::Label4B2, C::Label15B2,  C::DCDi2,        C::DSRi2,      C::CTSi2,
      C::RIi2,        C::Ind2B1,   C::Ind2B2,     C::Ind2B3,       C::Ind2B4};
  for (C control : kEnabled) view_.SetEnabled(control, enabled);
  const Colour colour = enabled ? Colour::Window : Colour::ButtonFace;
  view_.SetColour(C::ComboBox2, colour);
  view_.SetColour(C::ComboBox2PortMode, colour);
}

void ComPortsTab::ShowLines(PortRole port, const LineLevels& lines) {
  view_.SetChecked(Id(port, C::DCDi), lines.dcd);
  view_.SetChecked(Id(port, C::DSRi), lines.dsr);
  view_.SetChecked(Id(port, C::CTSi), lines.cts);
  view_.SetChecked(Id(port, C::RIi), lines.ri);
}

void ComPortsTab::ShowHardwareButton(PortRole port, int index, bool pressed) {
  if (index < 0 || index > 3) return;
  view_.SetChecked(Id(port, static_cast<C>(static_cast<int>(C::Ind1B1) + index)), pressed);
}

void ComPortsTab::ShowCombinationCode(PortRole port, int code) {
  const bool pressed = code >= 1 && code <= 15;
  view_.SetText(Id(port, C::Ind1B15), pressed ? std::to_string(code) : "");
  view_.SetChecked(Id(port, C::Ind1B15), pressed);
}

}  // namespace pelorin
