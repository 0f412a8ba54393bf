#pragma once
#include <QDialog>
#include <QPointer>

#include "ui/qt/widget_table.h"
#include "ui/remap_dialog.h"

namespace pelorin::qt {

using RemapTable = WidgetTable<RemapControl, static_cast<int>(RemapControl::AutoCancelButton) + 1>;

// The Qt face of one line remap dialog (both ports use this class): a
// non-modal dialog owned by the properties window, so it stays above it,
// with the pages "Manual" (a radio group per status line, OK, Cancel,
// "Assign automatically") and "Auto" (the prompts and Cancel). It shows what
// the presenter asks and passes the user's clicks and keys on.
//
// Order of use: construct (the dialog and its controls are built at once,
// hidden), construct the presenter with it, Bind, then let the presenter
// Initialise. Events before Bind are dropped.
class RemapDialogView final : public RemapTable {
 public:
  explicit RemapDialogView(QWidget* owner);
  ~RemapDialogView() override;
  RemapDialogView(const RemapDialogView&) = delete;
  RemapDialogView& operator=(const RemapDialogView&) = delete;

  void Bind(RemapDialog& presenter) { presenter_ = &presenter; }
  QDialog* Dialog() const { return dialog_; }

  // Showing the dialog itself places it below the screen's centre, so the
  // properties window stays in view, and brings it to the front.
  void SetVisible(RemapControl control, bool visible) override;

 private:
  QWidget* BuildManualPage();
  QWidget* BuildAutoPage();

  RemapDialog* presenter_ = nullptr;
  // Owned by the owner window; deleted with this view if still there.
  QPointer<QDialog> dialog_;
};

}  // namespace pelorin::qt
