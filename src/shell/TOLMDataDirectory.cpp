#include "shell/TOLMDataDirectory.h"

#include <QDir>
#include <QFileInfo>

std::string TOLMDataDirectory::path() {
  return (QDir::homePath() + QStringLiteral("/Library/Preferences/Vekkaro")).toStdString();
}

bool TOLMDataDirectory::ensureExists(const std::string& path) {
  const QString target = QString::fromStdString(path);
  if (QFileInfo::exists(target)) return QFileInfo(target).isDir();
  return QDir().mkpath(target);
}
