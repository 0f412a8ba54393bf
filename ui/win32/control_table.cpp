#include "ui/win32/control_table.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <utility>

#include "platform/win32/wide_text.h"
#include "ui/win32/window_text.h"

namespace pelorin::win32 {
namespace {

void ShowWindows(const std::vector<HWND>& windows, bool visible) {
  for (HWND w : windows) ShowWindow(w, visible ? SW_SHOWNA : SW_HIDE);
}

// Shows the windows of page `index` and hides the others. The shown page's
// windows are brought up last, so that no hidden page's window covers them.
void ShowPage(ControlEntry& entry, int index) {
  for (std::size_t p = 0; p < entry.pages.size(); ++p) {
    if (static_cast<int>(p) != index) ShowWindows(entry.pages[p], false);
  }
  if (index >= 0 && index < static_cast<int>(entry.pages.size())) {
    ShowWindows(entry.pages[static_cast<std::size_t>(index)], true);
  }
}

TOOLINFOW ToolFor(HWND control) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  return tool;
}

// Redraws the parent's area under a control: labels drawn over a page's
// texture would keep their old text or underline otherwise.
void RedrawBackground(HWND control) {
  HWND parent = GetParent(control);
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  InvalidateRect(parent, &r, TRUE);
}

// The size of `text` drawn in the font of `label`.
SIZE TextSizeIn(HWND label, const std::string& text) {
  WindowDc dc(label);
  SelectedObject font(dc.Get(), reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  return TextExtent(dc.Get(), text);
}

void FitToText(HWND label, const std::string& text) {
  const SIZE size = TextSizeIn(label, text);
  HWND parent = GetParent(label);
  RECT r;
  GetWindowRect(label, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  InvalidateRect(parent, &r, TRUE);
  const bool right = (GetWindowLongPtrW(label, GWL_STYLE) & SS_TYPEMASK) == SS_RIGHT;
  const int width = static_cast<int>(size.cx) + 1;
  SetWindowPos(label, nullptr, right ? r.right - width : r.left, r.top, width, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// The layouts are drawn in pixels at 96 dpi for the shell's dialog font at
// 8 points (Tahoma, in which the 52 letters below measure 330 pixels; the
// Microsoft Sans Serif of Windows 10 and 11 is about as wide). Their texts
// keep a margin, so a face up to a twentieth wider still fits; only a wider
// one is made smaller, and a font that fits is never touched.
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kLayoutAlphabetWidth = 330 * 105 / 100;
// A font is made at most this many percent smaller: below it a text is
// better cut than unreadable.
constexpr int kSmallestFontPercent = 75;

int AlphabetWidth(HDC dc, HFONT font) {
  SelectedObject selected(dc, font);
  return static_cast<int>(TextExtent(dc, kAlphabet).cx);
}

// The same face as `log`, a pixel smaller at a time until its letters are
// no wider than the layout's; null when `log` is not wider. `log` becomes
// the description of the font returned.
UniqueGdi<HFONT> FontFittedToLayout(LOGFONTW& log) {
  if (log.lfHeight == 0) return nullptr;  // the mapper's default size: nothing to scale
  WindowDc screen(nullptr);
  const int limit = MulDiv(kLayoutAlphabetWidth, GetDeviceCaps(screen.Get(), LOGPIXELSY), 96);
  const LONG sign = log.lfHeight < 0 ? -1 : 1;
  const LONG original = log.lfHeight * sign;
  UniqueGdi<HFONT> fitted;
  for (LONG height = original; height * 100 >= original * kSmallestFontPercent; --height) {
    LOGFONTW smaller = log;
    smaller.lfHeight = height * sign;
    smaller.lfWidth = 0;
    UniqueGdi<HFONT> candidate(CreateFontIndirectW(&smaller));
    if (!candidate) break;
    const bool fits = AlphabetWidth(screen.Get(), candidate.get()) <= limit;
    if (height == original) {
      // The font as given is only measured: one that fits is used as given.
      if (fits) break;
      continue;
    }
    fitted = std::move(candidate);
    log = smaller;
    if (fits) break;
  }
  return fitted;
}

// The tabs' texts are fixed, and with the shell's dialog font the row may be
// a few pixels short of them; the tab control then scrolls its row. Narrower
// margins beside each text (6 pixels by default, kept as long as the row
// fits) bring every tab into view.
void FitTabsToRow(HWND tabs, int count) {
  constexpr int kDefaultPadding = 6;
  constexpr int kSmallestPadding = 2;
  constexpr int kVerticalPadding = 3;  // the control's own default
  if (count == 0) return;
  RECT client{};
  GetClientRect(tabs, &client);
  for (int padding = kDefaultPadding - 1; padding >= kSmallestPadding; --padding) {
    RECT last{};
    SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(count - 1),
                 reinterpret_cast<LPARAM>(&last));
    if (last.right <= client.right) return;
    SendMessageW(tabs, TCM_SETPADDING, 0, MAKELPARAM(padding, kVerticalPadding));
    // The control lays its tabs out again, with the new margins, when it is
    // given its font.
    SendMessageW(tabs, WM_SETFONT, SendMessageW(tabs, WM_GETFONT, 0, 0), TRUE);
  }
}

}  // namespace

void FitLabelToText(HWND label) {
  FitToText(label, WindowText(label));
}

void ControlStyle::Create(HWND owner, HFONT font) {
  base_ = font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW log{};
  GetObjectW(base_, sizeof(log), &log);
  fitted_ = FontFittedToLayout(log);
  if (fitted_) base_ = fitted_.get();
  for (int v = 1; v < 4; ++v) {
    LOGFONTW variant = log;
    if (v & 1) variant.lfWeight = FW_BOLD;
    if (v & 2) variant.lfUnderline = TRUE;
    variants_[v].reset(CreateFontIndirectW(&variant));
  }
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
}

HFONT ControlStyle::Font(bool bold, bool underlined) const {
  const int v = (bold ? 1 : 0) | (underlined ? 2 : 0);
  return v == 0 || !variants_[v] ? base_ : variants_[v].get();
}

void SetEntryText(ControlEntry& entry, const std::string& text) {
  HWND target =
      entry.kind == ControlKind::Group && !entry.parts.empty() ? entry.parts[0] : entry.hwnd;
  if (!target) return;
  SetWindowTextUtf8(target, text);
  if (entry.autosize) FitToText(target, text);
  if (entry.kind == ControlKind::Label) RedrawBackground(target);
}

void SetEntryHint(ControlStyle& style, ControlEntry& entry, const std::string& hint) {
  if (!entry.hwnd || !style.Tooltip()) return;
  TOOLINFOW tool = ToolFor(entry.hwnd);
  SendMessageW(style.Tooltip(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  std::wstring wide_hint = Widen(hint);
  tool.lpszText = wide_hint.data();
  SendMessageW(style.Tooltip(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void SetEntryItems(ControlEntry& entry, const std::vector<std::string>& items) {
  switch (entry.kind) {
    case ControlKind::Combo:
      SendMessageW(entry.hwnd, CB_RESETCONTENT, 0, 0);
      for (const std::string& item : items) {
        SendMessageW(entry.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
      }
      break;
    case ControlKind::RadioGroup:
      for (std::size_t i = 0; i < entry.parts.size(); ++i) {
        SetWindowTextUtf8(entry.parts[i], i < items.size() ? items[i] : std::string());
        SendMessageW(entry.parts[i], BM_SETCHECK, BST_UNCHECKED, 0);
      }
      break;
    case ControlKind::Tabs: {
      SendMessageW(entry.hwnd, TCM_DELETEALLITEMS, 0, 0);
      for (std::size_t i = 0; i < items.size(); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        std::wstring text = Widen(items[i]);
        item.pszText = text.data();
        item.iImage = static_cast<int>(i);
        SendMessageW(entry.hwnd, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
      }
      FitTabsToRow(entry.hwnd, static_cast<int>(items.size()));
      break;
    }
    default:
      break;
  }
  entry.selection = -1;
}

void SetEntrySelection(ControlEntry& entry, int index) {
  entry.selection = index;
  switch (entry.kind) {
    case ControlKind::Combo:
      SendMessageW(entry.hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      break;
    case ControlKind::RadioGroup:
      for (std::size_t i = 0; i < entry.parts.size(); ++i) {
        SendMessageW(entry.parts[i], BM_SETCHECK,
                     static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      break;
    case ControlKind::Tabs:
      SendMessageW(entry.hwnd, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
      ShowPage(entry, index);
      break;
    case ControlKind::Notebook:
      ShowPage(entry, index);
      break;
    case ControlKind::Picture:
      InvalidateRect(entry.hwnd, nullptr, TRUE);
      break;
    default:
      break;
  }
}

void SetEntryChecked(ControlEntry& entry, bool checked) {
  if (!entry.hwnd) return;
  const WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
  // Unchanged states are left alone: the indicators are set on every tick.
  if (static_cast<WPARAM>(SendMessageW(entry.hwnd, BM_GETCHECK, 0, 0)) == state) return;
  SendMessageW(entry.hwnd, BM_SETCHECK, state, 0);
}

void SetEntryEnabled(ControlEntry& entry, bool enabled) {
  if (entry.hwnd) EnableWindow(entry.hwnd, enabled ? TRUE : FALSE);
  // A group's frame greys its caption; a radio group greys its items. The
  // panel of a group makes its children unusable without greying them.
  for (HWND part : entry.parts) EnableWindow(part, enabled ? TRUE : FALSE);
}

void SetEntryVisible(ControlEntry& entry, bool visible) {
  if (entry.hwnd) ShowWindow(entry.hwnd, visible ? SW_SHOWNA : SW_HIDE);
  if (entry.kind == ControlKind::RadioGroup) ShowWindows(entry.parts, visible);
}

void SetEntryColour(ControlEntry& entry, Colour colour) {
  entry.colour = colour;
  if (!entry.hwnd) return;
  // A themed drop-down list paints itself and ignores the colour it is
  // given; its disabled look is what says "unusable" there, so a list in
  // the button face is also disabled (it lies in a disabled group anyway).
  if (entry.kind == ControlKind::Combo) {
    EnableWindow(entry.hwnd, colour == Colour::Window ? TRUE : FALSE);
  }
  InvalidateRect(entry.hwnd, nullptr, TRUE);
}

void SetEntryFont(ControlStyle& style, ControlEntry& entry) {
  if (!entry.hwnd) return;
  SendMessageW(entry.hwnd, WM_SETFONT,
               reinterpret_cast<WPARAM>(style.Font(entry.bold, entry.underlined)), TRUE);
  if (entry.kind == ControlKind::Label) RedrawBackground(entry.hwnd);
}

void SetEntryRange(ControlEntry& entry, int min, int max, int page_step) {
  if (entry.kind != ControlKind::TrackBar) return;
  SendMessageW(entry.hwnd, TBM_SETRANGEMIN, FALSE, min);
  SendMessageW(entry.hwnd, TBM_SETRANGEMAX, TRUE, max);
  SendMessageW(entry.hwnd, TBM_SETPAGESIZE, 0, page_step);
}

void SetEntryPosition(ControlEntry& entry, int position) {
  if (entry.kind != ControlKind::TrackBar) return;
  entry.selection = position;  // the position last shown, to tell a user move from a repeat
  SendMessageW(entry.hwnd, TBM_SETPOS, TRUE, position);
}

void SetEntryTicks(ControlEntry& entry, const std::vector<int>& positions) {
  if (entry.kind != ControlKind::TrackBar) return;
  SendMessageW(entry.hwnd, TBM_CLEARTICS, FALSE, 0);
  for (int p : positions) SendMessageW(entry.hwnd, TBM_SETTIC, 0, p);
  InvalidateRect(entry.hwnd, nullptr, TRUE);
}

void SetEntryFocus(ControlEntry& entry) {
  if (entry.hwnd) ::SetFocus(entry.hwnd);
}

bool EntryHasFocus(const ControlEntry& entry) {
  return entry.hwnd != nullptr && GetFocus() == entry.hwnd;
}

HBRUSH ButtonFaceBrush(HDC dc) {
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace pelorin::win32
