#pragma once
#include <array>
#include <functional>

#include "config/line_map.h"
#include "config/settings.h"
#include "engine/remap_line_feed.h"
#include "input/decoder.h"
#include "ui/controls_view.h"
#include "ui/virtual_keys.h"

namespace pelorin {

// Controls of a line remap dialog; `Dialog` is the dialog window itself.
enum class RemapControl {
  Dialog,
  Pages,
  DcdChoice,
  DsrChoice,
  CtsChoice,
  RiChoice,
  OkButton,
  CancelButton,
  AssignAutomaticallyButton,
  PressInOrderLabel,
  PressButton1Label,
  PressButton2Label,
  PressButton3Label,
  PressButton4Label,
  AutoCancelButton,
};

using RemapView = ControlsView<RemapControl>;

// The status lines in the dialog's fixed order.
enum class StatusLine { DCD = 0, DSR = 1, CTS = 2, RI = 3 };
// Pages of the dialog (`RemapControl::Pages`).
enum class RemapPage { Manual = 0, Auto = 1 };

// One line remap dialog (primary or secondary port). Its radio groups are the
// live line map: a selection goes into the port's `DCD`..`RI` of Settings at
// once, so the poll cycle decodes with it before OK.
class RemapDialog final : public RemapLineFeed {
 public:
  // `set_owner_enabled` disables the properties window while the dialog shows.
  RemapDialog(PortRole port, Settings& settings, RemapView& view, LineMapStore& store,
              std::function<void(bool)> set_owner_enabled);

  // Caption, texts and radio items; the Manual page. Called once.
  void Initialise();
  // The live map as the radio groups show it (after the main settings load).
  void ShowLineMap();

  // Opens the dialog ("Remap 4 buttons...") on the page it is on.
  void Show();
  bool IsShown() const { return shown_; }
  RemapPage Page() const { return page_; }

  // Store operations: reads the stored map into Settings and the radio
  // groups; writes the live map to the store.
  void ReadSettings();
  void WriteSettings();

  // User events.
  void LineChoiceClicked(StatusLine line, int index);
  void OkClicked();
  void CancelClicked();  // Manual page
  void AssignAutomatically();
  void AutoCancelClicked();  // Auto page
  // Returns true when the dialog used the key (Escape on the Manual page).
  bool KeyDown(int virtual_key);
  // Close box or a session-end query; returns whether the dialog may close.
  bool OnCloseRequest();

  // Automatic assignment, one handler per line. The poll cycle calls them for
  // each line that rose since its previous tick, in the order DCD, DSR, CTS,
  // RI, and only when the Auto page was shown at the start of the tick.
  void DcdRose() override { AssignNext(StatusLine::DCD); }
  void DsrRose() override { AssignNext(StatusLine::DSR); }
  void CtsRose() override { AssignNext(StatusLine::CTS); }
  void RiRose() override { AssignNext(StatusLine::RI); }
  // The poll cycle announces rising lines only while the Auto page shows.
  bool ShowsAutoPage() const override { return shown_ && page_ == RemapPage::Auto; }

  // The number awaited next (1..4) as the bold prompt shows it; 0 before the
  // first automatic assignment.
  int AwaitedNumber() const { return awaited_; }

 private:
  LineMap LiveMap() const;
  void SetLive(StatusLine line, int index);
  void AssignNext(StatusLine line);
  void SetAwaited(int number);
  void ShowPage(RemapPage page);
  void Hide();

  PortRole port_;
  Settings& settings_;
  RemapView& view_;
  LineMapStore& store_;
  std::function<void(bool)> set_owner_enabled_;
  bool shown_ = false;
  RemapPage page_ = RemapPage::Manual;
  int awaited_ = 0;
};

}  // namespace pelorin
