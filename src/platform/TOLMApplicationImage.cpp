#include "platform/TOLMApplicationImage.h"

#include <QPainter>
#include <QSvgRenderer>

namespace {
const char* const kSource = ":/vekkaro/VK.svg";
}

QImage TOLMApplicationImage::image(int side) {
  QImage canvas(side, side, QImage::Format_ARGB32_Premultiplied);
  canvas.fill(Qt::transparent);
  QSvgRenderer renderer{QString::fromLatin1(kSource)};
  if (renderer.isValid()) {
    QPainter painter(&canvas);
    renderer.render(&painter);
  }
  return canvas;
}

QIcon TOLMApplicationImage::icon() {
  QIcon icon;
  for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(image(side)));
  return icon;
}
