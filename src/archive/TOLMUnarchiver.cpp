#include "archive/TOLMUnarchiver.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <exception>

#include "archive/TOLMArchiveFormat.h"
#include "archive/TOLMClassRegistry.h"
#include "archive/TOLMCoding.h"

namespace F = TOLMArchiveFormat;

namespace {

// Text taken from the input goes into messages shown to the user: keep it short
// and printable.
std::string quoted(const std::string& raw) {
  constexpr std::size_t kLimit = 64;
  std::string out = "\"";
  for (std::size_t i = 0; i < raw.size() && i < kLimit; ++i) {
    const auto c = static_cast<unsigned char>(raw[i]);
    if (c >= 0x20 && c < 0x7f && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      out += escaped;
    }
  }
  if (raw.size() > kLimit) out += "...";
  return out + "\"";
}

}  // namespace

TOLMUnarchiver::TOLMUnarchiver(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {
  if (size_ == 0) {
    fail("archive is empty");
    return;
  }
  const std::size_t magicBytes = size_ < sizeof F::kMagic ? size_ : sizeof F::kMagic;
  if (std::memcmp(data_, F::kMagic, magicBytes) != 0) {
    fail("not a Vekkaro archive (bad magic bytes)");
    return;
  }
  if (!need(F::kHeaderSize, "the header")) return;
  offset_ = sizeof F::kMagic;
  const std::uint8_t version = readByte();
  if (version != F::kVersion) fail("unsupported archive format version " + std::to_string(version));
}

void TOLMUnarchiver::fail(const std::string& why) {
  if (error_.empty()) error_ = why.empty() ? std::string("archive cannot be read") : why;
}

std::string TOLMUnarchiver::at(std::size_t offset) const { return " at byte " + std::to_string(offset); }

bool TOLMUnarchiver::need(std::size_t count, const char* what) {
  if (failed()) return false;
  if (remaining() >= count) return true;
  fail("archive truncated at byte " + std::to_string(size_) + " (reading " + what + at(offset_) + ")");
  return false;
}

// Callers check need() first.
std::uint8_t TOLMUnarchiver::readByte() { return data_[offset_++]; }

std::uint64_t TOLMUnarchiver::readUInt64() {
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value |= static_cast<std::uint64_t>(data_[offset_ + i]) << (8 * i);
  offset_ += 8;
  return value;
}

double TOLMUnarchiver::readDouble() { return std::bit_cast<double>(readUInt64()); }

// A count is believed only when the rest of the input could hold that many
// entries of the smallest size, so nothing is allocated on a hostile count.
bool TOLMUnarchiver::readCount(std::size_t minimumEntrySize, const char* what, std::size_t& count) {
  const std::size_t start = offset_;
  if (!need(8, what)) return false;
  const std::uint64_t value = readUInt64();
  if (value > remaining() / minimumEntrySize) {
    fail("archive truncated at byte " + std::to_string(size_) + " (" + what + at(start) + " claims " +
         std::to_string(value) + " entries, more than the remaining " + std::to_string(remaining()) +
         " bytes can hold)");
    return false;
  }
  count = static_cast<std::size_t>(value);
  return true;
}

bool TOLMUnarchiver::readBytes(const char* what, std::string& out) {
  std::size_t length = 0;
  if (!readCount(1, what, length)) return false;
  out.assign(reinterpret_cast<const char*>(data_ + offset_), length);
  offset_ += length;
  return true;
}

TOLMArchiveObject TOLMUnarchiver::decodeObject() {
  if (failed()) return {};
  const std::size_t tagOffset = offset_;
  if (!need(1, "an object")) return {};
  const std::uint8_t tag = readByte();
  switch (tag) {
    case F::kNone:
      return {};
    case F::kNull:
      return TOLMArchiveObject::null();
    case F::kBoolean: {
      if (!need(1, "a boolean")) return {};
      const std::uint8_t value = readByte();
      if (value > 1) {
        fail("invalid boolean value " + std::to_string(value) + at(offset_ - 1));
        return {};
      }
      return TOLMArchiveObject::boolean(value == 1);
    }
    case F::kInteger:
      if (!need(8, "an integer")) return {};
      return TOLMArchiveObject::integer(static_cast<std::int64_t>(readUInt64()));
    case F::kFloat:
      if (!need(8, "a float")) return {};
      return TOLMArchiveObject::floating(readDouble());
    case F::kString: {
      std::string text;
      if (!readBytes("a string", text)) return {};
      return TOLMArchiveObject::string(std::move(text));
    }
    case F::kColor: {
      if (!need(32, "a colour")) return {};
      TOLMColor color;
      color.red = readDouble();
      color.green = readDouble();
      color.blue = readDouble();
      color.alpha = readDouble();
      return TOLMArchiveObject::color(color);
    }
    case F::kImage: {
      if (!need(16, "an image")) return {};
      TOLMImage image;
      image.width = readDouble();
      image.height = readDouble();
      std::string png;
      if (!readBytes("image data", png)) return {};
      image.pngData.assign(png.begin(), png.end());
      return TOLMArchiveObject::image(std::move(image));
    }
    case F::kList:
    case F::kDictionary:
    case F::kRecord:
      return decodeContainer(tag, tagOffset);
    case F::kValue:
      fail("a plain value" + at(tagOffset) + " where an object is read");
      return {};
    case F::kEndRecord:
      fail("a record ends" + at(tagOffset) + " where an object is read");
      return {};
    default: {
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02x", tag);
      fail(std::string("unknown object tag ") + hex + at(tagOffset));
      return {};
    }
  }
}

TOLMArchiveObject TOLMUnarchiver::decodeContainer(std::uint8_t tag, std::size_t tagOffset) {
  if (depth_ >= F::kMaxDepth) {
    fail("archive nested deeper than " + std::to_string(F::kMaxDepth) + " levels" + at(tagOffset));
    return {};
  }
  ++depth_;
  TOLMArchiveObject result;
  if (tag == F::kList) {
    result = decodeList();
  } else if (tag == F::kDictionary) {
    result = decodeDictionary();
  } else {
    result = decodeRecord(tagOffset);
  }
  --depth_;
  return failed() ? TOLMArchiveObject() : result;
}

TOLMArchiveObject TOLMUnarchiver::decodeList() {
  std::size_t count = 0;
  if (!readCount(1, "a list", count)) return {};
  // Grows with what is actually decoded rather than with the claimed count.
  auto list = std::make_shared<TOLMArchiveList>();
  for (std::size_t i = 0; i < count; ++i) {
    TOLMArchiveObject element = decodeObject();
    if (failed()) return {};
    list->push_back(std::move(element));
  }
  return TOLMArchiveObject::list(std::move(list));
}

TOLMArchiveObject TOLMUnarchiver::decodeDictionary() {
  std::size_t count = 0;
  // Smallest entry: an empty key (its 8-byte length) and a one-byte value.
  if (!readCount(9, "a dictionary", count)) return {};
  auto dictionary = std::make_shared<TOLMArchiveDictionary>();
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t keyOffset = offset_;
    std::string key;
    if (!readBytes("a dictionary key", key)) return {};
    TOLMArchiveObject value = decodeObject();
    if (failed()) return {};
    if (!dictionary->emplace(key, std::move(value)).second) {
      fail("duplicate dictionary key " + quoted(key) + at(keyOffset));
      return {};
    }
  }
  return TOLMArchiveObject::dictionary(std::move(dictionary));
}

TOLMArchiveObject TOLMUnarchiver::decodeRecord(std::size_t tagOffset) {
  std::string name;
  if (!readBytes("a class name", name)) return {};
  const TOLMClassRegistry::Factory* factory = TOLMClassRegistry::shared().factoryForName(name);
  if (factory == nullptr) {
    fail("unknown class " + quoted(name) + at(tagOffset));
    return {};
  }
  std::shared_ptr<TOLMCoding> record = (*factory)(*this);
  if (failed()) return {};
  if (!record) {
    fail("class " + quoted(name) + at(tagOffset) + " could not be read");
    return {};
  }
  if (record->className() != name) {
    fail("class " + quoted(name) + at(tagOffset) + " reads back as " + quoted(record->className()));
    return {};
  }
  const std::size_t endOffset = offset_;
  if (!need(1, "the end of a record")) return {};
  if (readByte() != F::kEndRecord) {
    fail("class " + quoted(name) + at(tagOffset) + " holds more values than it reads (next value" +
         at(endOffset) + ")");
    return {};
  }
  return TOLMArchiveObject::record(std::move(record));
}

bool TOLMUnarchiver::decodeValueOfObjCType(const char* type, void* address) {
  F::ValueType valueType;
  const bool valid = F::parseValueType(type, valueType) && address != nullptr;
  if (valid) std::memset(address, 0, valueType.byteSize());
  if (failed()) return false;
  if (!valid) {
    fail("unsupported type code " + quoted(type ? type : ""));
    return false;
  }
  const std::string wanted = type;
  const std::size_t start = offset_;
  if (!need(1, "a value")) return false;
  const std::uint8_t tag = readByte();
  if (tag != F::kValue) {
    fail(std::string(tag == F::kEndRecord ? "a record ends" : "an object") + at(start) +
         " where a value of type " + quoted(wanted) + " is read");
    return false;
  }
  if (!need(1, "a type code")) return false;
  const std::size_t typeLength = readByte();
  if (!need(typeLength, "a type code")) return false;
  const std::string stored(reinterpret_cast<const char*>(data_ + offset_), typeLength);
  offset_ += typeLength;
  if (stored != wanted) {
    fail("type mismatch" + at(start) + ": the archive holds " + quoted(stored) + " where " +
         quoted(wanted) + " is read");
    return false;
  }
  if (!need(valueType.byteSize(), "a value")) return false;
  auto* out = static_cast<std::uint8_t*>(address);
  if (valueType.elementSize == 1) {
    std::memcpy(out, data_ + offset_, valueType.count);
    offset_ += valueType.count;
    return true;
  }
  for (std::size_t i = 0; i < valueType.count; ++i) {
    std::uint32_t u = 0;
    for (int b = 0; b < 4; ++b) u |= static_cast<std::uint32_t>(data_[offset_ + b]) << (8 * b);
    offset_ += 4;
    const auto value = static_cast<std::int32_t>(u);
    std::memcpy(out + i * sizeof value, &value, sizeof value);
  }
  return true;
}

TOLMResult<TOLMArchiveObject> TOLMUnarchiver::unarchiveObjectWithData(const std::vector<std::uint8_t>& data) {
  using Result = TOLMResult<TOLMArchiveObject>;
  try {
    TOLMUnarchiver unarchiver(data.data(), data.size());
    TOLMArchiveObject root = unarchiver.decodeObject();
    if (!unarchiver.failed() && unarchiver.offset_ != unarchiver.size_) {
      unarchiver.fail("trailing bytes after the root object" + unarchiver.at(unarchiver.offset_));
    }
    if (unarchiver.failed()) return Result::failure(unarchiver.error());
    return Result::success(std::move(root));
  } catch (const std::exception& e) {
    // A record factory may throw (out of memory, a bug of its own); it must
    // not take the program down with it.
    return Result::failure(std::string("archive cannot be read: ") + e.what());
  } catch (...) {
    return Result::failure("archive cannot be read: a record class failed while reading");
  }
}
