#include "firing/TOLMSongChooser.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cmath>
#include <cstdlib>

#include "alarms/TOLMAlarm.h"
#include "firing/TOLMMusicLibrary.h"

namespace {

const QStringList& songExtensions() {
  static const QStringList extensions = {
      QStringLiteral("aiff"), QStringLiteral("aif"), QStringLiteral("mp3"),  QStringLiteral("wav"),
      QStringLiteral("wave"), QStringLiteral("avi"), QStringLiteral("swf"),  QStringLiteral("dv"),
      QStringLiteral("mpeg"), QStringLiteral("midi"), QStringLiteral("mid"), QStringLiteral("mpg")};
  return extensions;
}

TOLMResult<QUrl> failure(const std::string& why) { return TOLMResult<QUrl>::failure(why); }

// Appended piece by piece: GCC 12 warns falsely on "literal" + std::string.
std::string quoted(const QString& text) {
  std::string out(1, '"');
  out += text.toStdString();
  out += '"';
  return out;
}

TOLMResult<QUrl> existingFile(const QString& path) {
  const QFileInfo info(path);
  const std::string shown = quoted(path);
  if (path.isEmpty()) return failure("no file is chosen");
  if (!info.exists()) return failure(shown + " does not exist");
  if (info.isDir()) return failure(shown + " is a folder, not a file");
  if (!info.isReadable()) return failure(shown + " cannot be read");
  return TOLMResult<QUrl>::success(QUrl::fromLocalFile(info.absoluteFilePath()));
}

TOLMResult<QUrl> songAtUrl(const QString& text) {
  const QUrl url(text.trimmed(), QUrl::StrictMode);
  if (text.trimmed().isEmpty()) return failure("no URL is given");
  if (!url.isValid() || url.scheme().isEmpty()) return failure(quoted(text) + " is not a URL");
  // Music libraries write local files as file://localhost/...
  if (url.isLocalFile() || url.scheme() == QLatin1String("file")) return existingFile(url.path());
  return TOLMResult<QUrl>::success(url);
}

}  // namespace

int randomNumberInRange(int location, int length) {
  const double r = static_cast<double>(random());
  return location + static_cast<int>(std::floor(length * r / 2147483648.0));
}

bool TOLMSongChooser::hasSongExtension(const std::string& fileName) {
  return songExtensions().contains(QFileInfo(QString::fromStdString(fileName)).suffix(), Qt::CaseInsensitive);
}

std::optional<TOLMResult<QUrl>> TOLMSongChooser::songForAlarm(const TOLMAlarm& alarm) {
  if (alarm.randomSongIsEnabled()) return randomSongForDirectory(alarm.randomSongLocation());
  if (alarm.manualSongIsEnabled()) return songForFile(alarm.manualSongLocation());
  if (alarm.urlSongIsEnabled()) return songForURL(alarm.urlSongLocation());
  if (alarm.xmlSongIsEnabled()) return songForXML(alarm.xmlSongLocation());
  return std::nullopt;
}

TOLMResult<QUrl> TOLMSongChooser::randomSongForDirectory(const std::string& folder) {
  const QString path = QString::fromStdString(folder);
  const QDir dir(path);
  if (path.isEmpty()) return failure("no folder is chosen");
  if (!dir.exists()) return failure("the folder \"" + folder + "\" does not exist");
  QStringList songs;
  for (const QString& name : dir.entryList(QDir::Files | QDir::Readable, QDir::Name)) {
    if (hasSongExtension(name.toStdString())) songs << name;
  }
  if (songs.isEmpty()) return failure("the folder \"" + folder + "\" holds no song");
  return existingFile(dir.filePath(songs.at(randomNumberInRange(0, static_cast<int>(songs.size())))));
}

TOLMResult<QUrl> TOLMSongChooser::songForFile(const std::string& path) {
  return existingFile(QString::fromStdString(path));
}

TOLMResult<QUrl> TOLMSongChooser::songForURL(const std::string& text) { return songAtUrl(QString::fromStdString(text)); }

TOLMResult<QUrl> TOLMSongChooser::songForXML(const std::string& path) {
  if (path.empty()) return failure("no music library is chosen");
  const auto locations = TOLMMusicLibrary::trackLocationsInFile(path);
  if (!locations) return failure("the music library \"" + path + "\" cannot be used: " + locations.error());
  if (locations.value().empty()) return failure("the music library \"" + path + "\" has no tracks");
  const auto& all = locations.value();
  return songAtUrl(QString::fromStdString(all[randomNumberInRange(0, static_cast<int>(all.size()))]));
}
