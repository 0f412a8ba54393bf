#pragma once
#include <windows.h>

#include "ui/raster.h"
#include "ui/win32/scoped_win.h"

namespace pelorin::win32 {

// A device-independent bitmap of `raster` in the standard 16 colours, for a
// picture box to paint (null on failure).
UniqueGdi<HBITMAP> BitmapFromRaster(const Raster& raster);

// The Help tab's two wiring pictures as bitmaps.
UniqueGdi<HBITMAP> FourButtonWiringBitmap();
UniqueGdi<HBITMAP> FifteenButtonWiringBitmap();

}  // namespace pelorin::win32
