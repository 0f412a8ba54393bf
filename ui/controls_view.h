#pragma once
#include <string>
#include <vector>

namespace pelorin {

// Background colours a view can give a control, as the system's colour roles
// rather than values, so that every toolkit maps them to its own palette.
enum class Colour { Window, ButtonFace };

// What a presenter asks a window, tab or dialog to show. `Control` is the
// enumeration of that window's controls, each named for what it is, so the
// presenters stay free of any toolkit type.
//
// Contract for every implementation: the setters only change what is shown.
// They never call back into the presenter (setting a list's selection is not
// a user selection), which is what lets a presenter refresh a whole tab from
// the live Settings without marking pending changes.
template <typename Control>
class ControlsView {
 public:
  virtual ~ControlsView() = default;

  // Caption of a label, button, group or tab; the text of a field or read-out.
  virtual void SetText(Control control, const std::string& text) = 0;
  // The tooltip shown when the mouse rests on the control.
  virtual void SetHint(Control control, const std::string& hint) = 0;
  // Replaces the entries of a list or radio group; leaves it without selection.
  virtual void SetItems(Control control, const std::vector<std::string>& items) = 0;
  // The selected entry of a list or radio group, the page of a notebook or the
  // picture of an image; -1 shows no selection.
  virtual void SetSelection(Control control, int index) = 0;
  // Ticked check box, pressed toggle button or indicator drawn pressed.
  virtual void SetChecked(Control control, bool checked) = 0;
  // A disabled group or window makes everything inside it unusable as well.
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual void SetVisible(Control control, bool visible) = 0;
  virtual void SetColour(Control control, Colour colour) = 0;
  virtual void SetBold(Control control, bool bold) = 0;
  virtual void SetUnderlined(Control control, bool underlined) = 0;
  // Track bars: the position range, the page step and the current position.
  virtual void SetRange(Control control, int min, int max, int page_step) = 0;
  virtual void SetPosition(Control control, int position) = 0;
  // Track bars: tick marks between the ends; the ends carry their own ticks.
  virtual void SetTicks(Control control, const std::vector<int>& positions) = 0;
  virtual void SetFocus(Control control) = 0;
  virtual bool HasFocus(Control control) const = 0;
};

}  // namespace pelorin
