#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/controls_view.h"
#include "ui/win32/pending_requests.h"
#include "ui/win32/scoped_win.h"

namespace pelorin::win32 {

// How a presenter's generic request maps onto a Win32 control.
enum class ControlKind {
  Window,      // a top-level window: caption, shown or hidden, enabled
  Label,       // static text
  Button,      // push button
  Check,       // check box, toggle button or two-state indicator
  Combo,       // drop-down list
  Edit,        // text field
  TrackBar,    // track bar
  RadioGroup,  // group frame (hwnd) with one radio button per item (parts)
  Notebook,    // pages of windows, one page shown (pages)
  Tabs,        // tab control (hwnd) whose pages are windows (pages)
  Group,       // container panel (hwnd) with its frame (parts[0])
  Picture,     // owner-drawn picture chosen by the selection
};

// One control of a window, as the view created it.
struct ControlEntry {
  HWND hwnd = nullptr;
  ControlKind kind = ControlKind::Label;
  std::vector<HWND> parts;
  std::vector<std::vector<HWND>> pages;
  Colour colour = Colour::Window;
  bool bold = false;
  bool underlined = false;
  // A label as wide as its text, anchored at its left edge (right edge for a
  // right-aligned label), so neighbouring labels never cover each other.
  bool autosize = false;
  int selection = -1;
};

// What the controls of one top-level window share: the window's font and its
// bold and underlined variants, the tooltip window, the requests kept for
// controls not built yet, and the flag that tells the window's event routing
// that a change came from a setter, not the user.
class ControlStyle {
 public:
  // Makes the font variants from `font` and the tooltip for `owner`. Where
  // `font` is wider than the dialog font the layouts were drawn for (a
  // machine that substitutes a wider face for it), the controls get the same
  // face made smaller until it is no wider, so every text keeps its place.
  void Create(HWND owner, HFONT font);
  HFONT Font(bool bold, bool underlined) const;
  HFONT NormalFont() const { return Font(false, false); }
  HWND Tooltip() const { return tooltip_; }
  PendingRequests& Pending() { return pending_; }

  // Notifications sent while a setter runs (an edit's EN_CHANGE on
  // SetWindowText) are not user events; the routing asks this first.
  bool Updating() const { return updating_ > 0; }
  class UpdateScope {
   public:
    explicit UpdateScope(ControlStyle& style) : style_(style) { ++style_.updating_; }
    ~UpdateScope() { --style_.updating_; }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

   private:
    ControlStyle& style_;
  };

 private:
  UniqueGdi<HFONT> variants_[4];
  UniqueGdi<HFONT> fitted_;  // the smaller face, when `font` was too wide
  HFONT base_ = nullptr;
  HWND tooltip_ = nullptr;
  PendingRequests pending_;
  int updating_ = 0;
};

// The generic requests on one control; each does what ControlsView's
// contract says for the control's kind and ignores what does not apply.
void SetEntryText(ControlEntry& entry, const std::string& text);
void SetEntryHint(ControlStyle& style, ControlEntry& entry, const std::string& hint);
void SetEntryItems(ControlEntry& entry, const std::vector<std::string>& items);
void SetEntrySelection(ControlEntry& entry, int index);
void SetEntryChecked(ControlEntry& entry, bool checked);
void SetEntryEnabled(ControlEntry& entry, bool enabled);
void SetEntryVisible(ControlEntry& entry, bool visible);
void SetEntryColour(ControlEntry& entry, Colour colour);
void SetEntryFont(ControlStyle& style, ControlEntry& entry);
void SetEntryRange(ControlEntry& entry, int min, int max, int page_step);
void SetEntryPosition(ControlEntry& entry, int position);
void SetEntryTicks(ControlEntry& entry, const std::vector<int>& positions);
void SetEntryFocus(ControlEntry& entry);
bool EntryHasFocus(const ControlEntry& entry);
// Makes a label as wide as its text (see ControlEntry::autosize).
void FitLabelToText(HWND label);

// A ControlsView over a table of entries indexed by the window's control
// enumeration (`Count` entries). The view that owns it fills the table when it
// creates the controls; requests for a control not created yet are kept in
// the style's PendingRequests until the view has built it.
template <typename Control, int Count>
class TableView : public ControlsView<Control> {
 public:
  explicit TableView(ControlStyle& style) : style_(style) {}

  ControlEntry& Entry(Control control) { return entries_[static_cast<int>(control)]; }
  const ControlEntry& Entry(Control control) const { return entries_[static_cast<int>(control)]; }

  void SetText(Control c, const std::string& text) override {
    if (Keep(c, ControlRequest::Text, [this, c, text] { SetText(c, text); })) return;
    ControlStyle::UpdateScope scope(style_);
    SetEntryText(Entry(c), text);
  }
  void SetHint(Control c, const std::string& hint) override {
    if (Keep(c, ControlRequest::Hint, [this, c, hint] { SetHint(c, hint); })) return;
    SetEntryHint(style_, Entry(c), hint);
  }
  void SetItems(Control c, const std::vector<std::string>& items) override {
    if (Keep(c, ControlRequest::Items, [this, c, items] { SetItems(c, items); })) return;
    ControlStyle::UpdateScope scope(style_);
    SetEntryItems(Entry(c), items);
  }
  void SetSelection(Control c, int index) override {
    if (Keep(c, ControlRequest::Selection, [this, c, index] { SetSelection(c, index); })) return;
    ControlStyle::UpdateScope scope(style_);
    SetEntrySelection(Entry(c), index);
  }
  void SetChecked(Control c, bool checked) override {
    if (Keep(c, ControlRequest::Checked, [this, c, checked] { SetChecked(c, checked); })) return;
    SetEntryChecked(Entry(c), checked);
  }
  void SetEnabled(Control c, bool enabled) override {
    if (Keep(c, ControlRequest::Enabled, [this, c, enabled] { SetEnabled(c, enabled); })) return;
    SetEntryEnabled(Entry(c), enabled);
  }
  void SetVisible(Control c, bool visible) override {
    if (Keep(c, ControlRequest::Visible, [this, c, visible] { SetVisible(c, visible); })) return;
    SetEntryVisible(Entry(c), visible);
  }
  void SetColour(Control c, Colour colour) override {
    if (Keep(c, ControlRequest::Colour, [this, c, colour] { SetColour(c, colour); })) return;
    SetEntryColour(Entry(c), colour);
  }
  void SetBold(Control c, bool bold) override {
    if (Keep(c, ControlRequest::Bold, [this, c, bold] { SetBold(c, bold); })) return;
    Entry(c).bold = bold;
    SetEntryFont(style_, Entry(c));
  }
  void SetUnderlined(Control c, bool underlined) override {
    if (Keep(c, ControlRequest::Underlined,
             [this, c, underlined] { SetUnderlined(c, underlined); })) {
      return;
    }
    Entry(c).underlined = underlined;
    SetEntryFont(style_, Entry(c));
  }
  void SetRange(Control c, int min, int max, int page_step) override {
    if (Keep(c, ControlRequest::Range,
             [this, c, min, max, page_step] { SetRange(c, min, max, page_step); })) {
      return;
    }
    ControlStyle::UpdateScope scope(style_);
    SetEntryRange(Entry(c), min, max, page_step);
  }
  void SetPosition(Control c, int position) override {
    if (Keep(c, ControlRequest::Position, [this, c, position] { SetPosition(c, position); })) {
      return;
    }
    ControlStyle::UpdateScope scope(style_);
    SetEntryPosition(Entry(c), position);
  }
  void SetTicks(Control c, const std::vector<int>& positions) override {
    if (Keep(c, ControlRequest::Ticks, [this, c, positions] { SetTicks(c, positions); })) return;
    SetEntryTicks(Entry(c), positions);
  }
  // A control not built yet has no focus to take; the request is dropped.
  void SetFocus(Control c) override { SetEntryFocus(Entry(c)); }
  bool HasFocus(Control c) const override { return EntryHasFocus(Entry(c)); }

  // The control whose window is `hwnd` (or, for lists, whose part it is).
  bool Find(HWND hwnd, Control& control) const {
    for (int i = 0; i < Count; ++i) {
      if (entries_[i].hwnd == hwnd) {
        control = static_cast<Control>(i);
        return true;
      }
    }
    return false;
  }
  // The brush for a control that asked its parent for colours, null when the
  // control keeps the default look.
  HBRUSH ColourBrush(HWND hwnd, HDC dc) const;

 private:
  // Keeps a request for a control whose window is not built yet (see
  // PendingRequests); false when the control exists and the request is due now.
  template <typename Apply>
  bool Keep(Control c, ControlRequest request, Apply apply) {
    const ControlEntry& entry = Entry(c);
    if (entry.hwnd) return false;
    style_.Pending().Keep(this, static_cast<int>(c), request, &entry.hwnd, std::move(apply));
    return true;
  }

  ControlStyle& style_;
  ControlEntry entries_[Count];
};

// A drop-down list asks for its colours for the field and for its edit part;
// both belong to the list's entry.
HBRUSH ButtonFaceBrush(HDC dc);

template <typename Control, int Count>
HBRUSH TableView<Control, Count>::ColourBrush(HWND hwnd, HDC dc) const {
  for (int i = 0; i < Count; ++i) {
    const ControlEntry& e = entries_[i];
    if (!e.hwnd || e.colour != Colour::ButtonFace) continue;
    if (e.hwnd == hwnd || GetParent(hwnd) == e.hwnd) return ButtonFaceBrush(dc);
  }
  return nullptr;
}

}  // namespace pelorin::win32
