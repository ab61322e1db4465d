#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// The open panel of the alarm editors: one file or one folder, run modally.
class TOLMOpenPanel {
 public:
  struct Request {
    bool chooseDirectories = false;
    QStringList fileTypes;  // extensions without the dot; empty: any file
    QString title;
  };
  // No value when the panel is cancelled. Editors hold one of these so tests
  // can stand in for the real panel.
  using Runner = std::function<std::optional<QString>(QWidget* parent, const Request& request)>;

  // The real panel (QFileDialog); links in the chosen path are resolved.
  static std::optional<QString> runModalForTypes(QWidget* parent, const Request& request);

  // The extensions a song file may have.
  static QStringList musicFileTypes();
};
