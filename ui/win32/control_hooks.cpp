#include "ui/win32/control_hooks.h"

#include <algorithm>

#include "ui/win32/properties_view.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/scoped_win.h"

namespace pelorin::win32 {
namespace {

constexpr UINT_PTR kKeyFieldHook = 1;
constexpr UINT_PTR kArrowHook = 2;
constexpr UINT_PTR kLinkHook = 3;

struct KeyFieldData {
  PropertiesView* view;
  PortRole port;
};

LRESULT CALLBACK KeyFieldProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                              DWORD_PTR data) {
  auto* field = reinterpret_cast<KeyFieldData*>(data);
  switch (message) {
    case WM_GETDLGCODE: {
      // Every key but Tab is the field's own: the dialog manager then neither
      // cancels on Escape nor presses the default button on Enter.
      const auto* msg = reinterpret_cast<const MSG*>(lparam);
      if (wparam == VK_TAB || (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_TAB)) break;
      return DefSubclassProc(hwnd, message, wparam, lparam) | DLGC_WANTALLKEYS;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      bool used = false;
      field->view->KeyFieldKeyDown(field->port, static_cast<int>(wparam), used);
      if (used) return 0;
      break;
    }
    case WM_CHAR:
    case WM_SYSCHAR:
      return 0;  // the field shows key names, never typed text
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, KeyFieldProc, kKeyFieldHook);
      delete field;
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

struct ArrowData {
  PropertiesView* view;
  PortRole port;
  bool next;
};

LRESULT CALLBACK ArrowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                           DWORD_PTR data) {
  auto* arrow = reinterpret_cast<ArrowData*>(data);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The step happens on the press; the button still draws itself pressed.
      arrow->view->ArrowPressed(arrow->port, arrow->next);
      return DefSubclassProc(hwnd, WM_LBUTTONDOWN, wparam, lparam);
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, ArrowProc, kArrowHook);
      delete arrow;
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK LinkProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                          DWORD_PTR data) {
  auto* view = reinterpret_cast<PropertiesView*>(data);
  switch (message) {
    case WM_MOUSEMOVE:
      view->LinkMouseMove(static_cast<HelpAboutControl>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
      break;
    case WM_SETCURSOR:
      SetCursor(LoadCursorA(nullptr, IDC_HAND));
      return TRUE;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, LinkProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wparam, lparam);
}

// Draws on a magenta background that the image list then makes transparent.
constexpr COLORREF kMaskColour = RGB(255, 0, 255);

void Disc(HDC dc, int l, int t, int r, int b, COLORREF fill, COLORREF edge) {
  UniqueGdi<HBRUSH> brush(CreateSolidBrush(fill));
  UniqueGdi<HPEN> pen(CreatePen(PS_SOLID, 1, edge));
  SelectedObject selected_brush(dc, brush.get());
  SelectedObject selected_pen(dc, pen.get());
  Ellipse(dc, l, t, r, b);
}

void Shape(HDC dc, const POINT* points, int count, COLORREF fill, COLORREF edge) {
  UniqueGdi<HBRUSH> brush(CreateSolidBrush(fill));
  UniqueGdi<HPEN> pen(CreatePen(PS_SOLID, 1, edge));
  SelectedObject selected_brush(dc, brush.get());
  SelectedObject selected_pen(dc, pen.get());
  Polygon(dc, points, count);
}

void Letter(HDC dc, int size, const wchar_t* text) {
  UniqueGdi<HFONT> font(CreateFontW(-size * 13 / 16, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0,
                                    ANTIALIASED_QUALITY, 0, L"Arial"));
  SelectedObject selected(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  RECT r{0, 0, size, size};
  DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void DrawTabImage(HDC dc, int index, int s) {
  RECT all{0, 0, s, s};
  UniqueGdi<HBRUSH> mask(CreateSolidBrush(kMaskColour));
  FillRect(dc, &all, mask.get());
  switch (index) {
    case 0: {  // a 9-pin plug seen from outside
      const POINT plug[4] = {
          {0, s / 4}, {s - 1, s / 4}, {s * 13 / 16, s * 3 / 4}, {s * 3 / 16, s * 3 / 4}};
      Shape(dc, plug, 4, RGB(176, 184, 196), RGB(64, 72, 88));
      for (int k = 0; k < 5; ++k) SetPixel(dc, s * (3 + 2 * k) / 16, s * 7 / 16, RGB(0, 0, 0));
      for (int k = 0; k < 4; ++k) SetPixel(dc, s * (4 + 2 * k) / 16, s * 9 / 16, RGB(0, 0, 0));
      break;
    }
    case 1: {  // the player's play button
      const POINT play[3] = {{s / 4, s / 8}, {s * 7 / 8, s / 2}, {s / 4, s * 7 / 8}};
      Shape(dc, play, 3, RGB(40, 170, 60), RGB(20, 90, 30));
      break;
    }
    case 2: {  // two sliders
      UniqueGdi<HBRUSH> line(CreateSolidBrush(RGB(80, 80, 80)));
      RECT top{1, s / 4, s - 1, s / 4 + 2}, bottom{1, s * 5 / 8, s - 1, s * 5 / 8 + 2};
      FillRect(dc, &top, line.get());
      FillRect(dc, &bottom, line.get());
      Disc(dc, s / 8, s / 8, s / 8 + s * 3 / 8, s / 8 + s * 3 / 8, RGB(60, 120, 220),
           RGB(20, 50, 120));
      Disc(dc, s / 2, s / 2, s / 2 + s * 3 / 8, s / 2 + s * 3 / 8, RGB(60, 120, 220),
           RGB(20, 50, 120));
      break;
    }
    default:  // Help and About: a blue disc with "?" or "i"
      Disc(dc, 0, 0, s, s, RGB(40, 100, 200), RGB(20, 50, 120));
      Letter(dc, s, index == 3 ? L"?" : L"i");
      break;
  }
}

}  // namespace

void HookKeyField(HWND edit, PropertiesView& view, PortRole port) {
  SetWindowSubclass(edit, KeyFieldProc, kKeyFieldHook,
                    reinterpret_cast<DWORD_PTR>(new KeyFieldData{&view, port}));
}

void HookArrowButton(HWND button, PropertiesView& view, PortRole port, bool next) {
  SetWindowSubclass(button, ArrowProc, kArrowHook,
                    reinterpret_cast<DWORD_PTR>(new ArrowData{&view, port, next}));
}

void HookLink(HWND label, PropertiesView& view, HelpAboutControl link) {
  SetWindowLongPtrW(label, GWLP_USERDATA, static_cast<LONG_PTR>(link));
  SetWindowSubclass(label, LinkProc, kLinkHook, reinterpret_cast<DWORD_PTR>(&view));
}

void DrawArrowButton(const DRAWITEMSTRUCT& item, bool up) {
  RECT r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int half = std::max(2, w / 5);
  const int cx = r.left + w / 2 + (pressed ? 1 : 0);
  const int cy = r.top + h / 2 + (pressed ? 1 : 0);
  const int dy = up ? -half / 2 : half / 2;
  const POINT triangle[3] = {
      {cx - half, cy - dy}, {cx + half, cy - dy}, {cx, cy + dy + (up ? -1 : 1)}};
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  const COLORREF colour = GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  Shape(item.hDC, triangle, 3, colour, colour);
  if (item.itemState & ODS_FOCUS) {
    RECT focus{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
    DrawFocusRect(item.hDC, &focus);
  }
}

void DrawTestPicture(HDC dc, const RECT& area, int index) {
  const int w = area.right - area.left;
  const int h = area.bottom - area.top;
  const int inset = w / 8;
  if (index == 1) {
    // Lit: a yellow lamp with a bright ring.
    Disc(dc, area.left, area.top, area.right, area.bottom, RGB(255, 236, 120), RGB(255, 170, 0));
    Disc(dc, area.left + inset, area.top + inset, area.right - inset, area.bottom - inset,
         RGB(255, 210, 0), RGB(230, 140, 0));
  } else {
    // Dark: a grey lamp with a dim centre.
    Disc(dc, area.left + inset, area.top + inset, area.right - inset, area.bottom - inset,
         RGB(96, 96, 104), RGB(40, 40, 48));
    Disc(dc, area.left + w * 3 / 8, area.top + h * 3 / 8, area.right - w * 3 / 8,
         area.bottom - h * 3 / 8, RGB(64, 64, 72), RGB(64, 64, 72));
  }
}

UniqueImageList MakeTabImages(int size) {
  UniqueImageList list(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 6, 0));
  {
    WindowDc screen(nullptr);
    MemoryDc dc(screen.Get());
    for (int index = 0; index < 5; ++index) {
      UniqueGdi<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), size, size));
      {
        // The image list copies the bitmap, which must not be selected then.
        SelectedObject selected(dc.Get(), bitmap.get());
        DrawTabImage(dc.Get(), index, size);
      }
      ImageList_AddMasked(list.get(), bitmap.get(), kMaskColour);
    }
  }
  UniqueIcon icon(static_cast<HICON>(LoadImageW(
      GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PELORIN), IMAGE_ICON, size, size, 0)));
  if (icon) ImageList_AddIcon(list.get(), icon.get());
  return list;
}

}  // namespace pelorin::win32
