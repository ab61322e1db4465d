#include "platform/TOLMQtConversions.h"

#include <QBuffer>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

TOLMColor TOLMQtConversions::colorFromQColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return {rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
}

QColor TOLMQtConversions::qColorFromColor(const TOLMColor& color) {
  auto clamp = [](double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.0; };
  return QColor::fromRgbF(static_cast<float>(clamp(color.red)), static_cast<float>(clamp(color.green)),
                          static_cast<float>(clamp(color.blue)), static_cast<float>(clamp(color.alpha)));
}

TOLMImage TOLMQtConversions::imageFromQImage(const QImage& image) {
  TOLMImage result;
  result.width = image.width();
  result.height = image.height();
  if (image.isNull()) return result;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  result.pngData.assign(bytes.begin(), bytes.end());
  return result;
}

QImage TOLMQtConversions::qImageFromImage(const TOLMImage& image) {
  if (!image.pngData.empty()) {
    QImage decoded;
    if (decoded.loadFromData(image.pngData.data(), static_cast<int>(image.pngData.size()), "PNG")) return decoded;
  }
  // Bound the size so a damaged value cannot ask for a huge allocation.
  auto side = [](double v) { return std::isfinite(v) ? static_cast<int>(std::clamp(v, 0.0, 4096.0)) : 0; };
  QImage blank(side(image.width), side(image.height), QImage::Format_ARGB32_Premultiplied);
  blank.fill(Qt::transparent);
  return blank;
}

QString TOLMQtConversions::stringFromRect(const QRectF& rect) {
  return QStringLiteral("{{%1, %2}, {%3, %4}}")
      .arg(rect.x(), 0, 'g', 12)
      .arg(rect.y(), 0, 'g', 12)
      .arg(rect.width(), 0, 'g', 12)
      .arg(rect.height(), 0, 'g', 12);
}

QRectF TOLMQtConversions::rectFromString(const QString& text) {
  static const QRegularExpression number(QStringLiteral("[-+]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][-+]?\\d+)?"));
  double values[4] = {0, 0, 0, 0};
  int found = 0;
  for (auto it = number.globalMatch(text); it.hasNext() && found < 4;) {
    const double v = it.next().captured(0).toDouble();
    values[found++] = std::isfinite(v) ? v : 0.0;
  }
  return QRectF(values[0], values[1], values[2], values[3]);
}
