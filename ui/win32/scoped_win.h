#pragma once
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace pelorin::win32 {

// Owning wrappers for the GDI and USER objects of the views.
struct MenuDeleter {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
struct IconDeleter {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct ImageListDeleter {
  void operator()(HIMAGELIST list) const { ImageList_Destroy(list); }
};

using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;
// An icon the program loaded or made itself (not one loaded with LR_SHARED).
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
// A pen, brush, font or bitmap; it must no longer be selected into a device
// context when it goes (see SelectedObject).
template <typename T>
using UniqueGdi = std::unique_ptr<std::remove_pointer_t<T>, GdiObjectDeleter>;
// An image list; a control shown with it (TCM_SETIMAGELIST) does not own it,
// so the list must outlive the control.
using UniqueImageList = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

// The device context of a window's client area, or of the screen for a null
// window (GetDC), released on scope exit. Get() is null when GetDC failed.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// A memory device context compatible with `dc` (CreateCompatibleDC), deleted
// on scope exit. Whatever was selected into it must be selected out first,
// so declare the SelectedObject after it. Get() is null when it failed.
class MemoryDc {
 public:
  explicit MemoryDc(HDC dc) : dc_(CreateCompatibleDC(dc)) {}
  ~MemoryDc() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;

  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

// The device context of a window's WM_PAINT (BeginPaint), ended on scope exit.
class PaintDc {
 public:
  explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
  ~PaintDc() { EndPaint(hwnd_, &paint_); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// `object` selected into `dc` (SelectObject) for the scope; the object it
// displaced is selected back on scope exit, so that `object` can then be
// deleted. Declare it after the object and the device context it uses: locals
// go in reverse order. Not for regions, which SelectObject copies.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace pelorin::win32
