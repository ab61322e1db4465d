#include "platform/TOLMDefaultsStore.h"

#include <pwd.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <QtDebug>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/TOLMDurableFile.h"
#include "platform/TOLMRunLoop.h"
#include "platform/TOLMTimer.h"

namespace {

// XML 1.0 cannot carry most control characters, not even as references.
bool fitsPropertyList(const std::string& text) {
  const QString decoded = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  if (decoded.toUtf8() != QByteArray(text.data(), static_cast<qsizetype>(text.size()))) return false;
  for (const QChar c : decoded) {
    const char16_t u = c.unicode();
    if (u < 0x20 && u != '\t' && u != '\n' && u != '\r') return false;
    if (u == 0xFFFE || u == 0xFFFF) return false;
  }
  return true;
}

QString toQString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A carriage return would come back as a newline unless written as a reference.
void writeText(QXmlStreamWriter& writer, const QString& text) {
  qsizetype start = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != QLatin1Char('\r')) continue;
    if (i > start) writer.writeCharacters(text.mid(start, i - start));
    writer.writeEntityReference(QStringLiteral("#13"));
    start = i + 1;
  }
  if (start < text.size()) writer.writeCharacters(text.mid(start));
}

void writeTextElement(QXmlStreamWriter& writer, const QString& name, const std::string& text) {
  writer.writeStartElement(name);
  writeText(writer, toQString(text));
  writer.writeEndElement();
}

std::string formatReal(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "+infinity" : "-infinity";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);  // shortest exact form
  return std::string(buffer, result.ptr);
}

std::optional<double> parseNumber(const QString& element, QString text) {
  text = text.trimmed();
  const QString lower = text.toLower();
  if (lower == QLatin1String("nan")) return std::nan("");
  if (lower == QLatin1String("+infinity") || lower == QLatin1String("infinity") || lower == QLatin1String("inf") ||
      lower == QLatin1String("+inf"))
    return HUGE_VAL;
  if (lower == QLatin1String("-infinity") || lower == QLatin1String("-inf")) return -HUGE_VAL;
  QByteArray bytes = text.toLatin1();
  if (bytes.startsWith('+')) bytes.remove(0, 1);
  if (bytes.isEmpty() || bytes.startsWith('+') || bytes.startsWith(' ')) return std::nullopt;
  const char* first = bytes.constData();
  const char* last = first + bytes.size();
  if (element == QLatin1String("integer")) {
    long long whole = 0;
    const auto result = std::from_chars(first, last, whole);
    if (result.ec == std::errc() && result.ptr == last) return static_cast<double>(whole);
    if (result.ec != std::errc::result_out_of_range) return std::nullopt;
  }
  double value = 0;
  const auto result = std::from_chars(first, last, value);
  if (result.ec != std::errc() || result.ptr != last) return std::nullopt;
  return value;
}

}  // namespace

TOLMDefaultsStore::TOLMDefaultsStore(std::string path, TOLMRunLoop* loop) : path_(std::move(path)), loop_(loop) {}

TOLMDefaultsStore::~TOLMDefaultsStore() {
  cancelPendingWrite();
  if (dirty_) {
    const TOLMStatus status = synchronize();
    if (!status) qWarning("the preferences were not saved: %s", status.error().c_str());
  }
}

std::string TOLMDefaultsStore::standardPath() {
  std::string home;
  if (const char* env = std::getenv("HOME"); env && *env) {
    home = env;
  } else if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) {
    home = entry->pw_dir;
  }
  return home + "/Library/Preferences/Vekkaro.plist";
}

void TOLMDefaultsStore::clear() {
  cancelPendingWrite();
  values_.clear();
  order_.clear();
  dirty_ = false;
}

TOLMStatus TOLMDefaultsStore::load() {
  clear();
  writeBlocked_.clear();
  std::string problem;
  const auto read = TOLMDurableFile::readFile(path_);
  if (!read) {
    problem = read.error();
  } else if (!read.value()) {
    return TOLMStatus::success();
  } else if (const TOLMStatus parsed = readPropertyList(*read.value()); !parsed) {
    problem = parsed.error();
    clear();
  } else {
    return TOLMStatus::success();
  }
  const auto moved = TOLMDurableFile::setAside(path_);
  if (!moved) {
    writeBlocked_ = "the preferences file " + path_ + " could not be used and is kept where it is";
    return TOLMStatus::failure("The preferences file " + path_ + " could not be used (" + problem +
                               ") nor moved aside (" + moved.error() +
                               "); it is left untouched, and settings changed now are not saved.");
  }
  return TOLMStatus::failure("The preferences file " + path_ + " could not be used (" + problem +
                             "); it was moved to " + moved.value() + " and the preferences start empty.");
}

TOLMStatus TOLMDefaultsStore::synchronize() {
  cancelPendingWrite();
  if (!dirty_) return TOLMStatus::success();
  if (!writeBlocked_.empty()) {
    // Once the unusable file is gone nothing is lost by writing.
    if (::access(path_.c_str(), F_OK) != 0 && errno == ENOENT) {
      writeBlocked_.clear();
    } else {
      return TOLMStatus::failure(writeBlocked_);
    }
  }
  const QString folder = QFileInfo(QFile::decodeName(path_.c_str())).absolutePath();
  if (!QDir().mkpath(folder)) return TOLMStatus::failure("cannot create the folder " + folder.toStdString());
  const TOLMStatus status = TOLMDurableFile::writeDurably(path_, propertyList());
  if (status) dirty_ = false;
  return status;
}

std::optional<TOLMDefaultsStore::Value> TOLMDefaultsStore::objectForKey(const std::string& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void TOLMDefaultsStore::setObject(const std::string& key, Value value) {
  const auto* text = std::get_if<std::string>(&value);
  if (!fitsPropertyList(key) || (text && !fitsPropertyList(*text))) {
    qWarning("refused a preference the preferences file cannot hold (key \"%s\")",
             fitsPropertyList(key) ? key.c_str() : "?");
    return;
  }
  const auto it = values_.find(key);
  if (it == values_.end()) {
    order_.push_back(key);
    values_.emplace(key, std::move(value));
  } else if (it->second == value) {
    return;  // nothing to write
  } else {
    it->second = std::move(value);
  }
  markDirty();
}

void TOLMDefaultsStore::removeObjectForKey(const std::string& key) {
  if (values_.erase(key) == 0) return;
  order_.erase(std::find(order_.begin(), order_.end(), key));
  markDirty();
}

bool TOLMDefaultsStore::hasKey(const std::string& key) const { return values_.count(key) != 0; }

std::vector<std::string> TOLMDefaultsStore::allKeys() const { return order_; }

bool TOLMDefaultsStore::boolForKey(const std::string& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) return false;
  if (const auto* flag = std::get_if<bool>(&it->second)) return *flag;
  if (const auto* number = std::get_if<double>(&it->second)) return *number != 0.0;
  return false;
}

double TOLMDefaultsStore::floatForKey(const std::string& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) return 0.0;
  if (const auto* flag = std::get_if<bool>(&it->second)) return *flag ? 1.0 : 0.0;
  if (const auto* number = std::get_if<double>(&it->second)) return *number;
  return 0.0;
}

int TOLMDefaultsStore::integerForKey(const std::string& key) const {
  const double number = floatForKey(key);
  // Out-of-range values saturate instead of overflowing.
  if (std::isnan(number)) return 0;
  if (number >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (number <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(number);
}

std::optional<std::string> TOLMDefaultsStore::stringForKey(const std::string& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  if (const auto* text = std::get_if<std::string>(&it->second)) return *text;
  return std::nullopt;
}

std::optional<TOLMDefaultsStore::Data> TOLMDefaultsStore::dataForKey(const std::string& key) const {
  const auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  if (const auto* data = std::get_if<Data>(&it->second)) return *data;
  return std::nullopt;
}

void TOLMDefaultsStore::markDirty() {
  dirty_ = true;
  if (!loop_ || (pendingWrite_ && pendingWrite_->isValid())) return;
  // Every change until the next pass goes out in one write.
  pendingWrite_ = loop_->scheduledTimerWithTimeInterval(
      0,
      [this](TOLMTimer&) {
        const TOLMStatus status = synchronize();
        if (!status) qWarning("the preferences were not saved: %s", status.error().c_str());
      },
      {}, false);
}

void TOLMDefaultsStore::cancelPendingWrite() {
  if (pendingWrite_) pendingWrite_->invalidate();
  pendingWrite_.reset();
}

std::vector<std::uint8_t> TOLMDefaultsStore::propertyList() const {
  QByteArray bytes;
  QXmlStreamWriter writer(&bytes);
  writer.setAutoFormatting(true);
  writer.setAutoFormattingIndent(-1);  // one tab
  writer.writeStartDocument();
  writer.writeDTD(QStringLiteral(
      "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">"));
  writer.writeStartElement(QStringLiteral("plist"));
  writer.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
  writer.writeStartElement(QStringLiteral("dict"));
  for (const std::string& key : order_) {
    const Value& value = values_.at(key);
    writeTextElement(writer, QStringLiteral("key"), key);
    if (const auto* flag = std::get_if<bool>(&value)) {
      writer.writeEmptyElement(*flag ? QStringLiteral("true") : QStringLiteral("false"));
    } else if (const auto* number = std::get_if<double>(&value)) {
      writer.writeTextElement(QStringLiteral("real"), QString::fromStdString(formatReal(*number)));
    } else if (const auto* text = std::get_if<std::string>(&value)) {
      writeTextElement(writer, QStringLiteral("string"), *text);
    } else {
      const Data& data = std::get<Data>(value);
      const QByteArray raw(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
      writer.writeTextElement(QStringLiteral("data"), QString::fromLatin1(raw.toBase64()));
    }
  }
  writer.writeEndElement();
  writer.writeEndElement();
  writer.writeEndDocument();
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

TOLMStatus TOLMDefaultsStore::readPropertyList(const std::vector<std::uint8_t>& bytes) {
  QXmlStreamReader reader(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
  const auto failure = [&reader](const std::string& what) {
    return TOLMStatus::failure(what + " at line " + std::to_string(reader.lineNumber()));
  };
  if (!reader.readNextStartElement()) {
    return failure(reader.hasError() ? reader.errorString().toStdString() : "no property list");
  }
  if (reader.name() != QLatin1String("plist")) return failure("the top element is not a property list");
  if (!reader.readNextStartElement() || reader.name() != QLatin1String("dict")) {
    return failure(reader.hasError() ? reader.errorString().toStdString() : "the top level is not a dictionary");
  }
  while (reader.readNextStartElement()) {
    if (reader.name() != QLatin1String("key")) {
      return failure("expected a key, found <" + reader.name().toString().toStdString() + ">");
    }
    const std::string key = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement).toStdString();
    if (reader.hasError()) break;
    if (!reader.readNextStartElement()) return failure("the key \"" + key + "\" has no value");
    const QString type = reader.name().toString();
    Value value;
    if (type == QLatin1String("true") || type == QLatin1String("false")) {
      value = type == QLatin1String("true");
      reader.skipCurrentElement();
    } else if (type == QLatin1String("real") || type == QLatin1String("integer")) {
      const auto number = parseNumber(type, reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement));
      if (reader.hasError()) break;
      if (!number) return failure("the value of \"" + key + "\" is not a number");
      value = *number;
    } else if (type == QLatin1String("string")) {
      value = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement).toStdString();
    } else if (type == QLatin1String("data")) {
      QByteArray text = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement).toLatin1();
      text.replace(' ', "").replace('\t', "").replace('\n', "").replace('\r', "");
      const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
      if (!decoded) return failure("the data of \"" + key + "\" is not base64");
      value = Data(decoded.decoded.begin(), decoded.decoded.end());
    } else {
      // The store cannot hold it, and dropping it would lose it at the next write.
      return failure("the value of \"" + key + "\" is of a kind not kept here (<" + type.toStdString() + ">)");
    }
    if (reader.hasError()) break;
    if (values_.emplace(key, value).second) {
      order_.push_back(key);
    } else {
      values_[key] = std::move(value);
    }
  }
  if (!reader.hasError()) {
    // Nothing may follow the dictionary but the end of the property list.
    if (reader.readNextStartElement()) return failure("more than one value at the top level");
    while (!reader.atEnd()) reader.readNext();
  }
  if (reader.hasError()) return failure(reader.errorString().toStdString());
  return TOLMStatus::success();
}
