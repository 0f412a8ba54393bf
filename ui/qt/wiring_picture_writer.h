#pragma once
#include <string>

#include <QImage>

#include "ui/help_about_tab.h"
#include "ui/raster.h"

namespace pelorin::qt {

// A palette picture as the toolkit's image: 8-bit indexed, with the standard
// 16 colours, pixel for pixel.
QImage ImageOfRaster(const Raster& raster);

// The Help tab's wiring picture, drawn by the shared drawing code.
Raster WiringRaster(WiringPicture picture);

// Saves the wiring pictures on Linux: a name ending in ".png" (any case)
// gets a PNG file, any other name the same 4-bit bitmap file as Windows
// writes. A failure is ignored, as the contract says.
class QtWiringPictureWriter final : public WiringPictureWriter {
 public:
  void WriteBitmap(WiringPicture picture, const std::string& path) override;
  std::string SaveFilter() const override;
};

}  // namespace pelorin::qt
