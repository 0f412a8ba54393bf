#pragma once
#include <array>
#include <string>
#include <vector>

#include "ui/controls_view.h"

class QWidget;

namespace pelorin::qt {

// The generic requests on one widget; each does what ControlsView's contract
// says for the widget's kind (found from its class) and ignores what does not
// apply. None of them lets the widget signal a user event: the setters block
// the widget's signals while they change it. Texts pass through the Linux
// edition's table first (EditionText).
void SetWidgetText(QWidget* widget, const std::string& text);
void SetWidgetHint(QWidget* widget, const std::string& hint);
void SetWidgetItems(QWidget* widget, const std::vector<std::string>& items);
void SetWidgetSelection(QWidget* widget, int index);
void SetWidgetChecked(QWidget* widget, bool checked);
void SetWidgetEnabled(QWidget* widget, bool enabled);
void SetWidgetVisible(QWidget* widget, bool visible);
void SetWidgetColour(QWidget* widget, Colour colour);
void SetWidgetBold(QWidget* widget, bool bold);
void SetWidgetUnderlined(QWidget* widget, bool underlined);
void SetWidgetRange(QWidget* widget, int min, int max, int page_step);
void SetWidgetPosition(QWidget* widget, int position);
void SetWidgetTicks(QWidget* widget, const std::vector<int>& positions);
void SetWidgetFocus(QWidget* widget);
bool WidgetHasFocus(const QWidget* widget);

// A ControlsView over the widgets of one window, indexed by the window's
// control enumeration (`Count` entries). The view that owns it puts each
// widget in when it builds them; the widgets belong to their Qt parents.
// A request for a control without a widget does nothing.
template <typename Control, int Count>
class WidgetTable : public ControlsView<Control> {
 public:
  void Put(Control control, QWidget* widget) { widgets_[Index(control)] = widget; }
  QWidget* Widget(Control control) const { return widgets_[Index(control)]; }

  void SetText(Control c, const std::string& text) override { SetWidgetText(Widget(c), text); }
  void SetHint(Control c, const std::string& hint) override { SetWidgetHint(Widget(c), hint); }
  void SetItems(Control c, const std::vector<std::string>& items) override {
    SetWidgetItems(Widget(c), items);
  }
  void SetSelection(Control c, int index) override { SetWidgetSelection(Widget(c), index); }
  void SetChecked(Control c, bool checked) override { SetWidgetChecked(Widget(c), checked); }
  void SetEnabled(Control c, bool enabled) override { SetWidgetEnabled(Widget(c), enabled); }
  void SetVisible(Control c, bool visible) override { SetWidgetVisible(Widget(c), visible); }
  void SetColour(Control c, Colour colour) override { SetWidgetColour(Widget(c), colour); }
  void SetBold(Control c, bool bold) override { SetWidgetBold(Widget(c), bold); }
  void SetUnderlined(Control c, bool underlined) override {
    SetWidgetUnderlined(Widget(c), underlined);
  }
  void SetRange(Control c, int min, int max, int page_step) override {
    SetWidgetRange(Widget(c), min, max, page_step);
  }
  void SetPosition(Control c, int position) override { SetWidgetPosition(Widget(c), position); }
  void SetTicks(Control c, const std::vector<int>& positions) override {
    SetWidgetTicks(Widget(c), positions);
  }
  void SetFocus(Control c) override { SetWidgetFocus(Widget(c)); }
  bool HasFocus(Control c) const override { return WidgetHasFocus(Widget(c)); }

 private:
  static constexpr int Index(Control control) { return static_cast<int>(control); }
  std::array<QWidget*, Count> widgets_{};
};

}  // namespace pelorin::qt
