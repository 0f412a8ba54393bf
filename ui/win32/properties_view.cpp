#include "ui/win32/properties_view.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "ui/win32/common_dialogs.h"
#include "ui/win32/control_hooks.h"
#include "ui/win32/control_ids.h"
#include "ui/win32/raster_bitmap.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/window_text.h"

namespace pelorin::win32 {
namespace {

// The client area at 96 dpi, and where the tab control and the buttons sit.
constexpr int kClientWidth = 361;
constexpr int kClientHeight = 394;
constexpr RECT kTabArea{2, 2, 359, 358};
constexpr int kButtonTop = 364;

bool IsColourMessage(UINT message) {
  return message == WM_CTLCOLORSTATIC || message == WM_CTLCOLOREDIT ||
         message == WM_CTLCOLORLISTBOX || message == WM_CTLCOLORBTN;
}

}  // namespace

PropertiesView::PropertiesView() = default;

PropertiesView::~PropertiesView() {
  // The presenters may be gone already; the window's last messages (its
  // destruction) must not reach them, nor reach this view once it is gone.
  window_ = nullptr;
  help_about_ = nullptr;
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
  if (owner_) DestroyWindow(owner_);
}

void PropertiesView::Bind(PropertiesWindow& window, HelpAboutTab& help_about) {
  window_ = &window;
  help_about_ = &help_about;
}

void PropertiesView::EnableInput(bool enabled) {
  if (hwnd_) EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

std::optional<std::string> PropertiesView::Open(const FileDialogRequest& request) {
  return ShowFileDialog(hwnd_, request, FileDialogKind::Open);
}

std::optional<std::string> PropertiesView::Save(const FileDialogRequest& request) {
  return ShowFileDialog(hwnd_, request, FileDialogKind::Save);
}

bool PropertiesView::HandleDialogMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                         INT_PTR& result) {
  switch (message) {
    case WM_INITDIALOG:
      PrepareWindow(hwnd);
      result = FALSE;
      return true;
    case WM_SHOWWINDOW:
      if (wparam) {
        BuildControls();
        PlaceWindowForShow();
      }
      return false;
    case WM_WINDOWPOSCHANGING:
      // Every way of showing the window passes here first, also those that
      // send no WM_SHOWWINDOW: the controls exist before the window appears.
      if (reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_SHOWWINDOW) BuildControls();
      return false;
    case WM_PAINT:
      if (window_) window_->OnPaint();
      return false;
    default:
      return OnPanelMessage(hwnd, message, wparam, lparam, result);
  }
}

bool PropertiesView::OnPanelMessage(HWND panel, UINT message, WPARAM wparam, LPARAM lparam,
                                    INT_PTR& result) {
  if (message == WM_COMMAND) {
    result = TRUE;
    return OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
  }
  if (message == WM_NOTIFY) {
    result = TRUE;
    return OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
  }
  if (message == WM_HSCROLL && lparam != 0) {
    OnTrackBar(reinterpret_cast<HWND>(lparam));
    result = TRUE;
    return true;
  }
  if (message == WM_DRAWITEM) {
    result = TRUE;
    return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
  }
  if (IsColourMessage(message)) {
    HBRUSH brush =
        OnControlColour(message, reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam));
    result = reinterpret_cast<INT_PTR>(brush);
    return brush != nullptr;
  }
  if (message == WM_MOUSEMOVE && panel == about_page_ && help_about_) {
    // The tab's background and its text labels take the underline off.
    help_about_->MouseOverBackground();
  }
  return false;
}

void PropertiesView::PrepareWindow(HWND hwnd) {
  hwnd_ = hwnd;
  dpi_ = ScreenDpi();
  ControlEntry& frame = Frame().Entry(FrameControl::Window);
  frame.hwnd = hwnd_;
  frame.kind = ControlKind::Window;
  PlaceWindowForShow();
}

void PropertiesView::BuildControls() {
  if (controls_built_ || !hwnd_) return;
  controls_built_ = true;
  // Owned windows get no taskbar button: a hidden owner stands in for the
  // application window, so the program shows only in the notification area.
  // Made with the controls, just before the window first appears, so that a
  // start that never shows the window creates one window fewer.
  owner_ = CreateWindowExW(0, L"STATIC", L"Pelorin", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner_));
  style_.Create(hwnd_, reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
  ControlBuilder b(style_, *this, dpi_);
  about_icon_image_.reset(static_cast<HICON>(LoadImageW(
      GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, b.Scale(64), b.Scale(64), 0)));
  RECT page_area{};
  BuildFrame(b, page_area);
  four_buttons_picture_ = FourButtonWiringBitmap();
  fifteen_buttons_picture_ = FifteenButtonWiringBitmap();
  SetPictureBitmap(picture_four_, four_buttons_picture_.get());
  SetPictureBitmap(picture_fifteen_, fifteen_buttons_picture_.get());
  // The presenters filled the window before it had controls: what they
  // asked is done on the new controls now.
  style_.Pending().DoForBuiltControls();
}

void PropertiesView::BuildFrame(ControlBuilder& b, RECT& page_area) {
  ControlEntry& tabs = Frame().Entry(FrameControl::Tabs);
  tabs.kind = ControlKind::Tabs;
  tabs.hwnd =
      b.Control(hwnd_, WC_TABCONTROLA, WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                WS_EX_CONTROLPARENT, IdOf(kFrameIdBase, FrameControl::Tabs), kTabArea.left,
                kTabArea.top, kTabArea.right - kTabArea.left, kTabArea.bottom - kTabArea.top);
  SetUpTabImages();
  // The page area: the tab's display rectangle with one row of tabs.
  TCITEMW probe{};
  probe.mask = TCIF_TEXT | TCIF_IMAGE;
  wchar_t probe_text[] = L"COM ports";
  probe.pszText = probe_text;
  SendMessageW(tabs.hwnd, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&probe));
  GetClientRect(tabs.hwnd, &page_area);
  SendMessageW(tabs.hwnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page_area));
  SendMessageW(tabs.hwnd, TCM_DELETEALLITEMS, 0, 0);
  const int width = MulDiv(page_area.right - page_area.left, 96, dpi_);
  const int height = MulDiv(page_area.bottom - page_area.top, 96, dpi_);
  tabs.pages.clear();
  HWND pages[5];
  for (HWND& page : pages) {
    page = b.Panel(tabs.hwnd, 0, 0, 1, 1);
    MoveWindow(page, page_area.left, page_area.top, page_area.right - page_area.left,
               page_area.bottom - page_area.top, FALSE);
    tabs.pages.push_back({page});
  }
  BuildComPortsPage(b, pages[0]);
  BuildWinampPage(b, pages[1]);
  BuildOptionsPage(b, pages[2]);
  BuildHelpPage(b, pages[3], width, height);
  BuildAboutPage(b, pages[4]);
  for (int k = 1; k < 5; ++k) ShowWindow(pages[k], SW_HIDE);

  auto button = [&](FrameControl control, int id, int left, DWORD extra) {
    ControlEntry& entry = Frame().Entry(control);
    entry.kind = ControlKind::Button;
    entry.hwnd = b.Button(hwnd_, id, left, kButtonTop, 75, 25, extra);
  };
  button(FrameControl::OkButton, IDOK, 120, BS_DEFPUSHBUTTON);
  button(FrameControl::CancelButton, IDCANCEL, 200, 0);
  button(FrameControl::ApplyButton, kApplyId, 280, 0);
}

void PropertiesView::SetUpTabImages() {
  tab_images_ = MakeTabImages(MulDiv(16, dpi_, 96));
  SendMessageW(Frame().Entry(FrameControl::Tabs).hwnd, TCM_SETIMAGELIST, 0,
               reinterpret_cast<LPARAM>(tab_images_.get()));
}

void PropertiesView::PlaceWindowForShow() {
  // The start-up client size, then centred on the screen.
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  RECT r{0, 0, MulDiv(kClientWidth, dpi_, 96), MulDiv(kClientHeight, dpi_, 96)};
  AdjustWindowRectEx(&r, style, FALSE, ex_style);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  SetWindowPos(hwnd_, nullptr, left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  if (owner_) ShowWindow(owner_, SW_HIDE);
  LayOutLinks();
}

void WinampTable::SetText(WinampControl control, const std::string& text) {
  TableView::SetText(control, text);
  AvoidRowLabelOverlap(static_cast<int>(control) >= kWinampGroupSize ? PortRole::Secondary
                                                                     : PortRole::Primary);
}

void WinampTable::SetVisible(WinampControl control, bool visible) {
  TableView::SetVisible(control, visible);
  AvoidRowLabelOverlap(static_cast<int>(control) >= kWinampGroupSize ? PortRole::Secondary
                                                                     : PortRole::Primary);
}

void WinampTable::AvoidRowLabelOverlap(PortRole port) {
  HWND inact = Entry(WinampControlOf(port, WinampControl::PrimaryInactiveLabel)).hwnd;
  HWND row3 = Entry(WinampControlOf(port, WinampControl::PrimaryRow3Label)).hwnd;
  if (!inact || !row3) return;
  FitLabelToText(inact);
  if ((GetWindowLongPtrW(row3, GWL_STYLE) & WS_VISIBLE) == 0) return;
  RECT label, row, overlap;
  GetWindowRect(inact, &label);
  GetWindowRect(row3, &row);
  if (!IntersectRect(&overlap, &label, &row)) return;
  // The label ends where the row label's text begins.
  SetWindowPos(inact, nullptr, 0, 0, std::max(0L, row.left - label.left - 2),
               label.bottom - label.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PropertiesView::LayOutLinks() {
  if (!about_page_) return;
  WindowDc dc(about_page_);
  SelectedObject font(dc.Get(), style_.NormalFont());
  auto text_width = [&](HWND hwnd) {
    return static_cast<int>(TextExtent(dc.Get(), WindowText(hwnd)).cx);
  };
  for (const LinkLine& line : link_lines_) {
    HWND link = HelpAbout().Entry(line.link).hwnd;
    if (!line.before || !link) continue;
    RECT r;
    GetWindowRect(line.before, &r);
    MapWindowPoints(nullptr, about_page_, reinterpret_cast<POINT*>(&r), 2);
    // Each link sits over its word: after the text before it on its line,
    // as wide as its own caption.
    const int before_width = text_width(line.before);
    SetWindowPos(line.before, nullptr, 0, 0, before_width, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int link_left = r.left + before_width;
    const int link_width = text_width(link) + 1;
    const int height = r.bottom - r.top;
    SetWindowPos(link, HWND_TOP, link_left, r.top, link_width, height, SWP_NOACTIVATE);
    SetWindowPos(line.after, nullptr, link_left + link_width, r.top, text_width(line.after) + 2,
                 height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool PropertiesView::OnNotify(const NMHDR& header) {
  ControlEntry& tabs = Frame().Entry(FrameControl::Tabs);
  if (header.hwndFrom != tabs.hwnd || header.code != TCN_SELCHANGE) return false;
  const int index = static_cast<int>(SendMessageW(tabs.hwnd, TCM_GETCURSEL, 0, 0));
  SetEntrySelection(tabs, index);
  if (window_) window_->TabSelected(index);
  return true;
}

bool PropertiesView::OnDrawItem(const DRAWITEMSTRUCT& item) {
  WinampControl arrow;
  if (Winamp().Find(item.hwndItem, arrow)) {
    const bool up = arrow == WinampControl::PrimaryPreviousButton ||
                    arrow == WinampControl::SecondaryPreviousButton;
    DrawArrowButton(item, up);
    return true;
  }
  const ControlEntry& test = Options().Entry(OptionsControl::DoubleClickTestPicture);
  if (item.hwndItem != test.hwnd && item.hwndItem != about_icon_) return false;
  RECT area = item.rcItem;
  FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
  if (item.hwndItem == test.hwnd) {
    DrawTestPicture(item.hDC, area, test.selection);
  } else if (about_icon_image_) {
    const int size = MulDiv(64, dpi_, 96);
    DrawIconEx(item.hDC, (area.right - area.left - size) / 2, (area.bottom - area.top - size) / 2,
               about_icon_image_.get(), size, size, 0, nullptr, DI_NORMAL);
  }
  return true;
}

HBRUSH PropertiesView::OnControlColour(UINT message, HWND control, HDC dc) {
  if (HBRUSH b = ComPorts().ColourBrush(control, dc)) return b;
  if (HBRUSH b = Winamp().ColourBrush(control, dc)) return b;
  if (HBRUSH b = Options().ColourBrush(control, dc)) return b;
  if (message != WM_CTLCOLORSTATIC) return nullptr;
  WinampControl field;
  if (Winamp().Find(control, field) &&
      (field == WinampControl::PrimaryKeyField || field == WinampControl::SecondaryKeyField)) {
    // Read-only, yet a field the user types into: it keeps the window colour.
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
  }
  HelpAboutControl about;
  if (!HelpAbout().Find(control, about)) return nullptr;
  const bool link = about == HelpAboutControl::NullsoftLink || about == HelpAboutControl::UpxLink ||
                    about == HelpAboutControl::SiteLink || about == HelpAboutControl::MailLink;
  if (!link && about != HelpAboutControl::DisclaimerLabel) return nullptr;
  // Links in blue and the disclaimer in red, on the page's own background.
  SetTextColor(dc, link ? RGB(0, 0, 224) : RGB(192, 0, 0));
  return ButtonFaceBrush(dc);
}

}  // namespace pelorin::win32
