#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// Font names are stored PostScript-style ("Times-Bold": family, then style) and
// resolved to an installed family and style.
class TOLMFontNames {
 public:
  // Every installed family and style as a PostScript-style name, unsorted.
  static QStringList availableFontNames();
  // The nearest installed font; Times and unknown serif names fall back to a
  // serif family so the default "Times-Bold" renders as a bold serif.
  static QFont fontWithName(const QString& name, double pointSize);
  static QString postScriptName(const QString& family, const QString& style);
};
