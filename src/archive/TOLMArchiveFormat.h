#pragma once

#include <cstddef>
#include <cstdint>

// The byte layout shared by TOLMArchiver and TOLMUnarchiver (described in
// docs/ARCHITECTURE.md). Every multi-byte number is little-endian.
namespace TOLMArchiveFormat {

inline constexpr std::uint8_t kMagic[4] = {'V', 'K', 'A', 'R'};
inline constexpr std::uint8_t kVersion = 1;
inline constexpr std::size_t kHeaderSize = sizeof kMagic + 1;

// Lists, dictionaries and records opened inside each other. Real graphs are a
// handful of levels deep; the bound keeps hostile input off the stack.
inline constexpr int kMaxDepth = 200;

enum Tag : std::uint8_t {
  kNone = 0x00,
  kNull = 0x01,
  kBoolean = 0x02,
  kInteger = 0x03,
  kFloat = 0x04,
  kString = 0x05,
  kList = 0x06,
  kDictionary = 0x07,
  kColor = 0x08,
  kImage = 0x09,
  kRecord = 0x0A,
  kValue = 0x0B,      // a plain value inside a record, with its type code
  kEndRecord = 0x0C,  // closes a record's value sequence
};

// The plain value types a record may write: "c", "i" or "[Ni]".
struct ValueType {
  std::size_t count = 0;        // number of elements
  std::size_t elementSize = 0;  // 1 for "c", 4 for "i" and "[Ni]"
  std::size_t byteSize() const { return count * elementSize; }
};

inline constexpr std::size_t kMaxArrayCount = 1u << 20;

// Parses a type code; false for anything but "c", "i" or "[Ni]" with N from 1
// to kMaxArrayCount written without leading zeros.
inline bool parseValueType(const char* type, ValueType& out) {
  if (type == nullptr) return false;
  if (type[0] == 'c' && type[1] == '\0') {
    out = {1, 1};
    return true;
  }
  if (type[0] == 'i' && type[1] == '\0') {
    out = {1, 4};
    return true;
  }
  if (type[0] != '[' || type[1] < '1' || type[1] > '9') return false;
  std::size_t count = 0;
  const char* p = type + 1;
  for (; *p >= '0' && *p <= '9'; ++p) {
    count = count * 10 + static_cast<std::size_t>(*p - '0');
    if (count > kMaxArrayCount) return false;
  }
  if (p[0] != 'i' || p[1] != ']' || p[2] != '\0') return false;
  out = {count, 4};
  return true;
}

}  // namespace TOLMArchiveFormat
