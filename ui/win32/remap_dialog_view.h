#pragma once
#include <windows.h>

#include "ui/remap_dialog.h"
#include "ui/win32/control_table.h"
#include "ui/win32/panels.h"

namespace pelorin::win32 {

using RemapTable = TableView<RemapControl, static_cast<int>(RemapControl::AutoCancelButton) + 1>;

// The Win32 face of one line remap dialog (both ports use this class): a
// top-level dialog of class "TForm2" (primary) or "TForm3" (secondary) with
// the pages "Manual" and "Auto". It shows what the presenter asks and passes
// the user's clicks and keys on.
//
// Order of use: construct, construct the presenter with it, Bind, Create
// (after the properties window exists: it owns the dialog), then let the
// presenter Initialise. The dialog window and its controls are made when the
// presenter first shows it; what the presenter asked before is done on them
// then.
class RemapDialogView final : public RemapTable, public PanelSink {
 public:
  RemapDialogView();
  ~RemapDialogView() override;
  RemapDialogView(const RemapDialogView&) = delete;
  RemapDialogView& operator=(const RemapDialogView&) = delete;

  void Bind(RemapDialog& presenter) { presenter_ = &presenter; }
  // Prepares the dialog of port 1 or 2, owned by `owner`; its window is made
  // when it is first shown.
  bool Create(HINSTANCE instance, PortRole port, HWND owner);
  // The dialog window, null until it was first shown.
  HWND Handle() const { return hwnd_; }

  // The dialog itself is shown 120 pixels below the screen's centre.
  void SetVisible(RemapControl control, bool visible) override;
  // Focusing the dialog itself brings it to the front (the tray's
  // "P&roperties" while the dialog is up).
  void SetFocus(RemapControl control) override;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  bool OnPanelMessage(HWND panel, UINT message, WPARAM wparam, LPARAM lparam,
                      INT_PTR& result) override;
  // Makes the dialog window with its controls, once.
  bool MakeWindow();
  void Build(ControlBuilder& b);
  void OnCommand(WORD id, WORD code, bool from_keyboard);

  ControlStyle style_;
  RemapDialog* presenter_ = nullptr;
  HINSTANCE instance_ = nullptr;
  const wchar_t* class_name_ = nullptr;
  HWND owner_ = nullptr;
  HWND hwnd_ = nullptr;
};

}  // namespace pelorin::win32
