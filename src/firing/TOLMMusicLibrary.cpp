#include "firing/TOLMMusicLibrary.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

// Advances to the next start element inside the current element; false at its end.
bool nextChild(QXmlStreamReader& xml) { return xml.readNextStartElement(); }

// Reads a <key> and positions on the start of its value; false at the end of the dict.
bool nextEntry(QXmlStreamReader& xml, QString& key) {
  if (!nextChild(xml)) return false;
  if (xml.name() != QLatin1String("key")) {
    xml.raiseError(QStringLiteral("a dictionary entry has no key"));
    return false;
  }
  key = xml.readElementText();
  if (!nextChild(xml)) {
    xml.raiseError(QStringLiteral("the key \"%1\" has no value").arg(key));
    return false;
  }
  return true;
}

void readTrack(QXmlStreamReader& xml, std::vector<std::string>& locations) {
  QString key;
  while (nextEntry(xml, key)) {
    if (key == QLatin1String("Location") && xml.name() == QLatin1String("string")) {
      locations.push_back(xml.readElementText().toStdString());
    } else {
      xml.skipCurrentElement();
    }
  }
}

void readTracks(QXmlStreamReader& xml, std::vector<std::string>& locations) {
  QString key;
  while (nextEntry(xml, key)) {
    if (xml.name() == QLatin1String("dict")) {
      readTrack(xml, locations);
    } else {
      xml.skipCurrentElement();
    }
  }
}

TOLMResult<std::vector<std::string>> read(QXmlStreamReader& xml) {
  std::vector<std::string> locations;
  bool sawTracks = false;
  if (nextChild(xml) && xml.name() == QLatin1String("plist") && nextChild(xml) &&
      xml.name() == QLatin1String("dict")) {
    QString key;
    while (nextEntry(xml, key)) {
      if (key == QLatin1String("Tracks") && xml.name() == QLatin1String("dict")) {
        sawTracks = true;
        readTracks(xml, locations);
      } else {
        xml.skipCurrentElement();
      }
    }
  } else if (!xml.hasError()) {
    return TOLMResult<std::vector<std::string>>::failure("it is not a property list with a dictionary");
  }
  if (xml.hasError()) {
    return TOLMResult<std::vector<std::string>>::failure("it is not a readable property list (line " +
                                                         std::to_string(xml.lineNumber()) + ": " +
                                                         xml.errorString().toStdString() + ")");
  }
  if (!sawTracks) return TOLMResult<std::vector<std::string>>::failure("it has no \"Tracks\"");
  return TOLMResult<std::vector<std::string>>::success(std::move(locations));
}

}  // namespace

TOLMResult<std::vector<std::string>> TOLMMusicLibrary::trackLocationsInData(const std::string& data) {
  QXmlStreamReader xml(QByteArray::fromStdString(data));
  return read(xml);
}

TOLMResult<std::vector<std::string>> TOLMMusicLibrary::trackLocationsInFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    return TOLMResult<std::vector<std::string>>::failure("it cannot be read: " + file.errorString().toStdString());
  }
  QXmlStreamReader xml(&file);
  return read(xml);
}
