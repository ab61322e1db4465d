#include "platform/TOLMFontNames.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace {

QString squeezed(QString text) { return text.remove(QLatin1Char(' ')); }

bool isPlainStyle(const QString& style) {
  const QString s = style.toLower();
  return s.isEmpty() || s == QLatin1String("regular") || s == QLatin1String("normal") || s == QLatin1String("book") ||
         s == QLatin1String("roman");
}

QString installedFamilyFor(const QString& familyPart) {
  const QString wanted = squeezed(familyPart).toLower();
  const QStringList families = QFontDatabase::families();
  for (const QString& family : families) {
    if (squeezed(family).toLower() == wanted) return family;
  }
  // Common PostScript families and their free look-alikes.
  static const QList<QPair<QString, QStringList>> aliases = {
      {QStringLiteral("times"), {QStringLiteral("Nimbus Roman"), QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")}},
      {QStringLiteral("timesnewroman"), {QStringLiteral("Liberation Serif"), QStringLiteral("Nimbus Roman"), QStringLiteral("DejaVu Serif")}},
      {QStringLiteral("helvetica"), {QStringLiteral("Nimbus Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}},
      {QStringLiteral("arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")}},
      {QStringLiteral("courier"), {QStringLiteral("Nimbus Mono PS"), QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")}},
  };
  for (const auto& [name, candidates] : aliases) {
    if (name != wanted) continue;
    for (const QString& candidate : candidates) {
      if (families.contains(candidate)) return candidate;
    }
  }
  return {};
}

}  // namespace

QString TOLMFontNames::postScriptName(const QString& family, const QString& style) {
  if (isPlainStyle(style)) return squeezed(family);
  return squeezed(family) + QLatin1Char('-') + squeezed(style);
}

QStringList TOLMFontNames::availableFontNames() {
  QStringList names;
  const QStringList families = QFontDatabase::families();
  for (const QString& family : families) {
    const QStringList styles = QFontDatabase::styles(family);
    if (styles.isEmpty()) names << postScriptName(family, {});
    for (const QString& style : styles) {
      const QString name = postScriptName(family, style);
      if (!names.contains(name)) names << name;
    }
  }
  return names;
}

QFont TOLMFontNames::fontWithName(const QString& name, double pointSize) {
  const qsizetype dash = name.indexOf(QLatin1Char('-'));
  const QString familyPart = dash < 0 ? name : name.left(dash);
  const QString stylePart = dash < 0 ? QString() : name.mid(dash + 1);

  QString family = installedFamilyFor(familyPart);
  QFont font;
  if (!family.isEmpty()) {
    // Find the installed style whose squeezed name matches.
    const QStringList styles = QFontDatabase::styles(family);
    for (const QString& style : styles) {
      if (squeezed(style).compare(stylePart, Qt::CaseInsensitive) == 0 ||
          (stylePart.isEmpty() && isPlainStyle(style))) {
        font = QFontDatabase::font(family, style, 12);
        break;
      }
    }
    if (font.family() != family) font = QFont(family);
  } else {
    font = QFont(familyPart);
    font.setStyleHint(QFont::Serif);
  }
  const QString style = stylePart.toLower();
  if (style.contains(QLatin1String("bold"))) font.setBold(true);
  if (style.contains(QLatin1String("italic")) || style.contains(QLatin1String("oblique"))) font.setItalic(true);
  if (pointSize > 0) font.setPointSizeF(pointSize);
  return font;
}
