#include "editors/TOLMOpenPanel.h"

#include <QFileDialog>
#include <QFileInfo>

std::optional<QString> TOLMOpenPanel::runModalForTypes(QWidget* parent, const Request& request) {
  QFileDialog panel(parent, request.title);
  panel.setAcceptMode(QFileDialog::AcceptOpen);
  if (request.chooseDirectories) {
    panel.setFileMode(QFileDialog::Directory);
    panel.setOption(QFileDialog::ShowDirsOnly, true);
  } else {
    panel.setFileMode(QFileDialog::ExistingFile);
    if (!request.fileTypes.isEmpty()) {
      QStringList patterns;
      for (const QString& type : request.fileTypes) patterns << QStringLiteral("*.") + type;
      panel.setNameFilter(QFileDialog::tr("Allowed files (%1)").arg(patterns.join(QLatin1Char(' '))));
    }
  }
  if (panel.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = panel.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  const QString canonical = QFileInfo(chosen.front()).canonicalFilePath();
  return canonical.isEmpty() ? chosen.front() : canonical;
}

QStringList TOLMOpenPanel::musicFileTypes() {
  return {QStringLiteral("aiff"), QStringLiteral("aif"), QStringLiteral("mp3"),  QStringLiteral("wav"),
          QStringLiteral("wave"), QStringLiteral("avi"), QStringLiteral("swf"),  QStringLiteral("dv"),
          QStringLiteral("mpeg"), QStringLiteral("midi"), QStringLiteral("mid"), QStringLiteral("mpg")};
}
