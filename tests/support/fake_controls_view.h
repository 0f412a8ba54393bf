#pragma once
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/controls_view.h"

namespace pelorin::testing {

// What one control shows, as last set by a presenter.
struct ControlState {
  std::string text;
  std::string hint;
  std::vector<std::string> items;
  int selection = -1;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  Colour colour = Colour::Window;
  bool bold = false;
  bool underlined = false;
  int min = 0, max = 0, page_step = 0;
  int position = 0;
  std::vector<int> ticks;
  int tick_calls = 0;
};

// Records every control's state; `focused` plays the user's focus.
template <typename Control>
class FakeControlsView final : public ControlsView<Control> {
 public:
  void SetText(Control c, const std::string& text) override { states[c].text = text; }
  void SetHint(Control c, const std::string& hint) override { states[c].hint = hint; }
  void SetItems(Control c, const std::vector<std::string>& items) override {
    states[c].items = items;
    states[c].selection = -1;
  }
  void SetSelection(Control c, int index) override { states[c].selection = index; }
  void SetChecked(Control c, bool checked) override { states[c].checked = checked; }
  void SetEnabled(Control c, bool enabled) override { states[c].enabled = enabled; }
  void SetVisible(Control c, bool visible) override { states[c].visible = visible; }
  void SetColour(Control c, Colour colour) override { states[c].colour = colour; }
  void SetBold(Control c, bool bold) override { states[c].bold = bold; }
  void SetUnderlined(Control c, bool underlined) override { states[c].underlined = underlined; }
  void SetRange(Control c, int min, int max, int page_step) override {
    states[c].min = min;
    states[c].max = max;
    states[c].page_step = page_step;
  }
  void SetPosition(Control c, int position) override { states[c].position = position; }
  void SetTicks(Control c, const std::vector<int>& positions) override {
    states[c].ticks = positions;
    ++states[c].tick_calls;
  }
  void SetFocus(Control c) override { focused = c; }
  bool HasFocus(Control c) const override { return focused == c; }

  ControlState& operator[](Control c) { return states[c]; }
  // The text of the selected list entry, "" without a selection.
  std::string SelectedText(Control c) {
    const ControlState& s = states[c];
    return s.selection >= 0 && s.selection < static_cast<int>(s.items.size()) ? s.items[s.selection]
                                                                              : "";
  }

  std::map<Control, ControlState> states;
  std::optional<Control> focused;
};

}  // namespace pelorin::testing
