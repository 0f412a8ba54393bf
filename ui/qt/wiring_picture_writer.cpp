#include "ui/qt/wiring_picture_writer.h"

#include <QString>

#include "ui/bitmap_file.h"
#include "ui/wiring_pictures.h"

namespace pelorin::qt {

QImage ImageOfRaster(const Raster& raster) {
  QImage image(raster.width(), raster.height(), QImage::Format_Indexed8);
  QList<QRgb> colours;
  for (const Rgb& rgb : StandardPalette()) colours.push_back(qRgb(rgb.red, rgb.green, rgb.blue));
  image.setColorTable(colours);
  for (int y = 0; y < raster.height(); ++y) {
    uchar* line = image.scanLine(y);
    for (int x = 0; x < raster.width(); ++x) line[x] = raster.At(x, y);
  }
  return image;
}

Raster WiringRaster(WiringPicture picture) {
  return picture == WiringPicture::FourButtons ? DrawFourButtonWiring().raster
                                               : DrawFifteenButtonWiring().raster;
}

void QtWiringPictureWriter::WriteBitmap(WiringPicture picture, const std::string& path) {
  const Raster raster = WiringRaster(picture);
  // Both writers report failure; the contract has the tab ignore it.
  if (QString::fromStdString(path).endsWith(".png", Qt::CaseInsensitive)) {
    (void)ImageOfRaster(raster).save(QString::fromStdString(path), "PNG");
  } else {
    (void)WriteBitmapFile(path, raster);
  }
}

std::string QtWiringPictureWriter::SaveFilter() const {
  return "Bitmap pictures (*.bmp)|*.bmp|PNG pictures (*.png)|*.png|All files (*.*)|*.*";
}

}  // namespace pelorin::qt
