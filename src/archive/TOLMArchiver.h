#pragma once

#include <cstddef>
#include <cstdint>
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

  static std::vector<std::uint8_t> archivedDataWithRootObject(const TOLMArchiveObject& root);

 private:
  std::vector<std::uint8_t> data_;
};
