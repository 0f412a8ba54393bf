#include "ui/remap_dialog.h"

#include <string>
#include <utility>
#include <vector>

#include "config/lists.h"

namespace pelorin {
namespace {

using R = RemapControl;

constexpr R kRadioGroups[4] = {R::DcdChoice, R::DsrChoice, R::CtsChoice, R::RiChoice};
constexpr R kPrompts[4] = {R::PressButton1Label, R::PressButton2Label, R::PressButton3Label,
                           R::PressButton4Label};
constexpr const char* kLineNames[4] = {"DCD", "DSR", "CTS", "RI"};

int& LineField(PortGroup& group, StatusLine line) {
  switch (line) {
    case StatusLine::DCD:
      return group.DCD;
    case StatusLine::DSR:
      return group.DSR;
    case StatusLine::CTS:
      return group.CTS;
    default:
      return group.RI;
  }
}

}  // namespace

RemapDialog::RemapDialog(PortRole port, Settings& settings, RemapView& view, LineMapStore& store,
                         std::function<void(bool)> set_owner_enabled)
    : port_(port),
      settings_(settings),
      view_(view),
      store_(store),
      set_owner_enabled_(std::move(set_owner_enabled)) {}

void RemapDialog::Initialise() {
  const bool primary = port_ == PortRole::Primary;
  view_.SetText(R::Dialog, primary ? "Primary COM-port buttons" : "Secondary COM-port buttons");
  const auto& items = primary ? lists::kLineAssignmentPrimary : lists::kLineAssignmentSecondary;
  for (int k = 0; k < 4; ++k) {
    view_.SetText(kRadioGroups[k], kLineNames[k]);
    view_.SetItems(kRadioGroups[k], {items.begin(), items.end()});
    view_.SetText(kPrompts[k], "Press button " + std::to_string((primary ? 1 : 5) + k));
  }
  view_.SetText(R::AssignAutomaticallyButton, "Assign automatically");
  view_.SetText(R::OkButton, "OK");
  view_.SetText(R::CancelButton, "Cancel");
  view_.SetText(R::PressInOrderLabel, "Press 4 buttons in the preferable order");
  view_.SetText(R::AutoCancelButton, "Cancel");
  ShowPage(RemapPage::Manual);
  ShowLineMap();
}

void RemapDialog::ShowLineMap() {
  const LineMap map = LiveMap();
  for (int k = 0; k < 4; ++k) {
    view_.SetSelection(kRadioGroups[k], lists::InList(map[k], 5) ? map[k] : kNoSelection);
  }
}

void RemapDialog::Show() {
  shown_ = true;
  set_owner_enabled_(false);
  view_.SetVisible(R::Dialog, true);
}

void RemapDialog::Hide() {
  shown_ = false;
  view_.SetVisible(R::Dialog, false);
  set_owner_enabled_(true);
}

void RemapDialog::ReadSettings() {
  const LineMap stored = store_.ReadLineMap(port_);
  SetLineMap(settings_.PortSettings(port_), stored);
  ShowLineMap();
}

void RemapDialog::WriteSettings() {
  store_.WriteLineMap(port_, LiveMap());
}

void RemapDialog::LineChoiceClicked(StatusLine line, int index) {
  if (lists::InList(index, 5)) SetLive(line, index);
}

void RemapDialog::OkClicked() {
  WriteSettings();
  CancelClicked();
}

void RemapDialog::CancelClicked() {
  ReadSettings();
  Hide();
}

void RemapDialog::AssignAutomatically() {
  SetAwaited(1);
  ShowPage(RemapPage::Auto);
}

void RemapDialog::AutoCancelClicked() {
  ShowPage(RemapPage::Manual);
}

bool RemapDialog::KeyDown(int virtual_key) {
  if (virtual_key != kEscapeKey || page_ != RemapPage::Manual) return false;
  CancelClicked();
  return true;
}

bool RemapDialog::OnCloseRequest() {
  if (!shown_) return true;
  if (page_ == RemapPage::Auto) {
    ShowPage(RemapPage::Manual);
  } else {
    // The selections stay live without being stored; the next main
    // WriteSettings stores them.
    Hide();
  }
  return false;
}

LineMap RemapDialog::LiveMap() const {
  return LineMapOf(settings_.PortSettings(port_));
}

void RemapDialog::SetLive(StatusLine line, int index) {
  LineField(settings_.PortSettings(port_), line) = index;
  view_.SetSelection(kRadioGroups[static_cast<int>(line)], index);
}

void RemapDialog::AssignNext(StatusLine line) {
  // One call advances exactly one step: the line takes the awaited number and
  // the next number is awaited; after the fourth the Manual page returns
  // with the last prompt still bold.
  if (awaited_ < 1 || awaited_ > 4) return;
  SetLive(line, awaited_);
  if (awaited_ == 4) {
    ShowPage(RemapPage::Manual);
  } else {
    SetAwaited(awaited_ + 1);
  }
}

void RemapDialog::SetAwaited(int number) {
  awaited_ = number;
  for (int k = 0; k < 4; ++k) view_.SetBold(kPrompts[k], k + 1 == number);
}

void RemapDialog::ShowPage(RemapPage page) {
  page_ = page;
  view_.SetSelection(R::Pages, static_cast<int>(page));
}

}  // namespace pelorin
