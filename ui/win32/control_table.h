#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "ui/controls_view.h"
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
// bold and underlined variants, the tooltip window, and the flag that tells
// the window's event routing that a change came from a setter, not the user.
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
// creates the controls; requests for a control not created are ignored.
template <typename Control, int Count>
class TableView : public ControlsView<Control> {
 public:
  explicit TableView(ControlStyle& style) : style_(style) {}

  ControlEntry& Entry(Control control) { return entries_[static_cast<int>(control)]; }
  const ControlEntry& Entry(Control control) const { return entries_[static_cast<int>(control)]; }

  void SetText(Control c, const std::string& text) override {
    ControlStyle::UpdateScope scope(style_);
    SetEntryText(Entry(c), text);
  }
  void SetHint(Control c, const std::string& hint) override {
    SetEntryHint(style_, Entry(c), hint);
  }
  void SetItems(Control c, const std::vector<std::string>& items) override {
    ControlStyle::UpdateScope scope(style_);
    SetEntryItems(Entry(c), items);
  }
  void SetSelection(Control c, int index) override {
    ControlStyle::UpdateScope scope(style_);
    SetEntrySelection(Entry(c), index);
  }
  void SetChecked(Control c, bool checked) override { SetEntryChecked(Entry(c), checked); }
  void SetEnabled(Control c, bool enabled) override { SetEntryEnabled(Entry(c), enabled); }
  void SetVisible(Control c, bool visible) override { SetEntryVisible(Entry(c), visible); }
  void SetColour(Control c, Colour colour) override { SetEntryColour(Entry(c), colour); }
  void SetBold(Control c, bool bold) override {
    Entry(c).bold = bold;
    SetEntryFont(style_, Entry(c));
  }
  void SetUnderlined(Control c, bool underlined) override {
    Entry(c).underlined = underlined;
    SetEntryFont(style_, Entry(c));
  }
  void SetRange(Control c, int min, int max, int page_step) override {
    ControlStyle::UpdateScope scope(style_);
    SetEntryRange(Entry(c), min, max, page_step);
  }
  void SetPosition(Control c, int position) override {
    ControlStyle::UpdateScope scope(style_);
    SetEntryPosition(Entry(c), position);
  }
  void SetTicks(Control c, const std::vector<int>& positions) override {
    SetEntryTicks(Entry(c), positions);
  }
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
