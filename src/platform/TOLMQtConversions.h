#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <string>

#include "archive/TOLMArchiveObject.h"

// Conversions between Qt values and the archive's own colour and image kinds.
class TOLMQtConversions {
 public:
  static TOLMColor colorFromQColor(const QColor& color);
  static QColor qColorFromColor(const TOLMColor& color);
  static TOLMImage imageFromQImage(const QImage& image);
  // A blank image (no pixel data) becomes a transparent image of its size.
  static QImage qImageFromImage(const TOLMImage& image);

  static QString qString(const std::string& text) { return QString::fromStdString(text); }
  static std::string stdString(const QString& text) { return text.toStdString(); }

  // The rectangle text form "{{x, y}, {width, height}}". Reading is lenient: the
  // first four numbers found are taken, missing ones are 0.
  static QString stringFromRect(const QRectF& rect);
  static QRectF rectFromString(const QString& text);
};
