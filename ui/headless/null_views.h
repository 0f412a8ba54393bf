#pragma once
#include <optional>
#include <string>
#include <vector>

#include "ui/controls_view.h"
#include "ui/file_dialogs.h"

namespace pelorin {

// A window's controls where the program shows no windows: the presenters
// keep their state and behaviour, and nothing is drawn. No control ever has
// the focus.
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

// File dialogs where none can be shown: every request ends as if the user
// had cancelled it.
class NullFileDialogs final : public FileDialogs {
 public:
  std::optional<std::string> Open(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> Save(const FileDialogRequest&) override { return std::nullopt; }
};

}  // namespace pelorin
