#include "firing/TOLMAlarmMessageLog.h"

#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>

TOLMAlarmMessageLog::TOLMAlarmMessageLog(QTextEdit& view) : view_(view) { view_.setReadOnly(true); }

void TOLMAlarmMessageLog::appendAlarmLine(const QString& name, const QString& date, const QString& message) {
  QTextCursor cursor(view_.document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(name + QStringLiteral(" (") + date + QStringLiteral("): "));
  const int messageStart = cursor.position();
  cursor.insertText(message);
  const int messageEnd = cursor.position();
  cursor.insertText(QStringLiteral("\n"));

  // The selection is what the speech reads: the message alone.
  cursor.setPosition(messageStart);
  cursor.setPosition(messageEnd, QTextCursor::KeepAnchor);
  view_.setTextCursor(cursor);
  view_.ensureCursorVisible();
}

void TOLMAlarmMessageLog::appendNotice(const QString& line) {
  QTextCursor cursor(view_.document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(line + QStringLiteral("\n"));
  view_.ensureCursorVisible();
}

void TOLMAlarmMessageLog::applyStyle(const QFont& font, const QColor& color) {
  QTextCharFormat format;
  format.setFont(font);
  format.setForeground(color);
  QTextCursor all(view_.document());
  all.select(QTextCursor::Document);
  all.mergeCharFormat(format);
  // Lines added later start in the same font until the next restyling.
  view_.document()->setDefaultFont(font);
}

void TOLMAlarmMessageLog::clear() { view_.clear(); }

QString TOLMAlarmMessageLog::text() const { return view_.toPlainText(); }

QString TOLMAlarmMessageLog::selectedText() const {
  // Block separators come back as U+2029; a log line holds none.
  return view_.textCursor().selectedText();
}
