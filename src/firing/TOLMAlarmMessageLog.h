#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QTextEdit;

// The text of the message log: one line per alarm message, oldest first, and
// plain notices. The user can read and select it but not edit it.
class TOLMAlarmMessageLog {
 public:
  explicit TOLMAlarmMessageLog(QTextEdit& view);

  // Appends "name (date): message" and a line break, and selects the message.
  void appendAlarmLine(const QString& name, const QString& date, const QString& message);
  void appendNotice(const QString& line);
  // The whole log takes the font and colour.
  void applyStyle(const QFont& font, const QColor& color);
  void clear();

  QString text() const;
  QString selectedText() const;

 private:
  QTextEdit& view_;
};
