#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/TOLMArchiveObject.h"

// Encodes an object graph into bytes (the encoding is described in
// docs/ARCHITECTURE.md). Records write their values in a fixed order through
// encodeObject and encodeValueOfObjCType.
class TOLMArchiver {
 public:
  TOLMArchiver();

  void encodeObject(const TOLMArchiveObject& object);
  // type: "c" (one int8_t), "i" (one int32_t) or "[Ni]" (N int32_t values).
  void encodeValueOfObjCType(const char* type, const void* address);

  const std::vector<std::uint8_t>& data() const { return data_; }

  // Set when the graph cannot be written so that it reads back: an unknown
  // type code, or nesting deeper than the reader accepts (a graph that
  // contains itself). The data is then unusable.
  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }

  // Empty when encoding failed, so the result never decodes.
  static std::vector<std::uint8_t> archivedDataWithRootObject(const TOLMArchiveObject& root);

 private:
  void fail(const std::string& why);
  void writeByte(std::uint8_t byte);
  void writeUInt64(std::uint64_t value);
  void writeDouble(double value);
  void writeBytes(const void* bytes, std::size_t size);
  void writeCount(std::size_t size);

  std::vector<std::uint8_t> data_;
  int depth_ = 0;
  std::string error_;
};
