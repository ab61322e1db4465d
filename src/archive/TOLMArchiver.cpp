#include "archive/TOLMArchiver.h"

#include <bit>
#include <cstring>

#include "archive/TOLMArchiveFormat.h"
#include "archive/TOLMCoding.h"

namespace F = TOLMArchiveFormat;

TOLMArchiver::TOLMArchiver() {
  writeBytes(F::kMagic, sizeof F::kMagic);
  writeByte(F::kVersion);
}

void TOLMArchiver::fail(const std::string& why) {
  if (error_.empty()) error_ = why;
}

void TOLMArchiver::writeByte(std::uint8_t byte) { data_.push_back(byte); }

void TOLMArchiver::writeUInt64(std::uint64_t value) {
  for (int i = 0; i < 8; ++i) data_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void TOLMArchiver::writeDouble(double value) { writeUInt64(std::bit_cast<std::uint64_t>(value)); }

void TOLMArchiver::writeBytes(const void* bytes, std::size_t size) {
  if (size == 0) return;
  // resize + memcpy rather than insert: GCC 12 misreads the range insert at -O2.
  const std::size_t offset = data_.size();
  data_.resize(offset + size);
  std::memcpy(data_.data() + offset, bytes, size);
}

void TOLMArchiver::writeCount(std::size_t size) { writeUInt64(static_cast<std::uint64_t>(size)); }

void TOLMArchiver::encodeObject(const TOLMArchiveObject& object) {
  using Kind = TOLMArchiveObject::Kind;
  const Kind kind = object.kind();
  const bool container = kind == Kind::List || kind == Kind::Dictionary || kind == Kind::Record;
  if (container && depth_ >= F::kMaxDepth) {
    fail("object graph nested deeper than " + std::to_string(F::kMaxDepth) + " levels");
    return;
  }
  switch (kind) {
    case Kind::None:
      writeByte(F::kNone);
      return;
    case Kind::Null:
      writeByte(F::kNull);
      return;
    case Kind::Boolean:
      writeByte(F::kBoolean);
      writeByte(*object.boolValue() ? 1 : 0);
      return;
    case Kind::Integer:
      writeByte(F::kInteger);
      writeUInt64(static_cast<std::uint64_t>(*object.integerValue()));
      return;
    case Kind::Float:
      writeByte(F::kFloat);
      writeDouble(*object.floatValue());
      return;
    case Kind::String: {
      const std::string& s = *object.stringValue();
      writeByte(F::kString);
      writeCount(s.size());
      writeBytes(s.data(), s.size());
      return;
    }
    case Kind::Color: {
      const TOLMColor& c = *object.colorValue();
      writeByte(F::kColor);
      writeDouble(c.red);
      writeDouble(c.green);
      writeDouble(c.blue);
      writeDouble(c.alpha);
      return;
    }
    case Kind::Image: {
      const TOLMImage& image = *object.imageValue();
      writeByte(F::kImage);
      writeDouble(image.width);
      writeDouble(image.height);
      writeCount(image.pngData.size());
      writeBytes(image.pngData.data(), image.pngData.size());
      return;
    }
    case Kind::List: {
      // Hold a reference: a record's encoder may hand over a temporary.
      const auto list = object.listValue();
      writeByte(F::kList);
      writeCount(list->size());
      ++depth_;
      for (const auto& element : *list) {
        encodeObject(element);
        if (failed()) break;
      }
      --depth_;
      return;
    }
    case Kind::Dictionary: {
      const auto dictionary = object.dictionaryValue();
      writeByte(F::kDictionary);
      writeCount(dictionary->size());
      ++depth_;
      for (const auto& [key, value] : *dictionary) {
        writeCount(key.size());
        writeBytes(key.data(), key.size());
        encodeObject(value);
        if (failed()) break;
      }
      --depth_;
      return;
    }
    case Kind::Record: {
      const auto record = object.recordValue();
      const std::string name = record->className();
      writeByte(F::kRecord);
      writeCount(name.size());
      writeBytes(name.data(), name.size());
      ++depth_;
      record->encodeWithCoder(*this);
      --depth_;
      writeByte(F::kEndRecord);
      return;
    }
  }
}

void TOLMArchiver::encodeValueOfObjCType(const char* type, const void* address) {
  F::ValueType valueType;
  if (!F::parseValueType(type, valueType) || address == nullptr) {
    fail(std::string("unsupported type code \"") + (type ? type : "") + "\"");
    return;
  }
  const std::size_t typeLength = std::strlen(type);
  writeByte(F::kValue);
  writeByte(static_cast<std::uint8_t>(typeLength));
  writeBytes(type, typeLength);
  const auto* bytes = static_cast<const std::uint8_t*>(address);
  if (valueType.elementSize == 1) {
    writeBytes(bytes, valueType.count);
    return;
  }
  for (std::size_t i = 0; i < valueType.count; ++i) {
    std::int32_t value;
    std::memcpy(&value, bytes + i * sizeof value, sizeof value);
    const auto u = static_cast<std::uint32_t>(value);
    for (int b = 0; b < 4; ++b) data_.push_back(static_cast<std::uint8_t>(u >> (8 * b)));
  }
}

std::vector<std::uint8_t> TOLMArchiver::archivedDataWithRootObject(const TOLMArchiveObject& root) {
  TOLMArchiver archiver;
  archiver.encodeObject(root);
  if (archiver.failed()) return {};
  return archiver.data_;
}
