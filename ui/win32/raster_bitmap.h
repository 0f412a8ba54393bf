#pragma once
#include <windows.h>

#include "ui/raster.h"

namespace pelorin::win32 {

// A device-independent bitmap of `raster` in the standard 16 colours, for a
// picture box to paint. The caller owns the result (null on failure).
HBITMAP BitmapFromRaster(const Raster& raster);

// The Help tab's two wiring pictures as bitmaps (owned by the caller).
HBITMAP FourButtonWiringBitmap();
HBITMAP FifteenButtonWiringBitmap();

}  // namespace pelorin::win32
