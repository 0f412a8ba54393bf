#pragma once
#include <optional>
#include <string>
#include <vector>

#include "ui/controls_view.h"
#include "ui/file_dialogs.h"

namespace pelorin::win32 {

// A view that shows nothing: stands in for a window whose controls are not
// built, so that its presenter runs all the same.
template <typename Control>
class NullControlsView final : public ControlsView<Control> {
 public:
  void SetText(Control, const std::string&) override {}
  void SetHint(Control, const std::string&) override {}
  void SetItems(Control, const std::vector<std::string>&) override {}
  void SetSelection(Control, int) override {}
  void SetChecked(Control, bool) override {}
  void SetEnabled(Control, bool) override {}
  void SetVisible(Control, bool) override {}
  void SetColour(Control, Colour) override {}
  void SetBold(Control, bool) override {}
  void SetUnderlined(Control, bool) override {}
  void SetRange(Control, int, int, int) override {}
  void SetPosition(Control, int) override {}
  void SetTicks(Control, const std::vector<int>&) override {}
  void SetFocus(Control) override {}
  bool HasFocus(Control) const override { return false; }
};

class NullFileDialogs final : public FileDialogs {
 public:
  std::optional<std::string> Open(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> Save(const FileDialogRequest&) override { return std::nullopt; }
};

}  // namespace pelorin::win32
