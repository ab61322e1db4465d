#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/TOLMResult.h"

// File reads and durable writes. A write goes to a temporary file in the same
// folder, is flushed to disk, then renamed over the target, so a crash leaves
// either the old file or the new one, never a torn one.
class TOLMDurableFile {
 public:
  static TOLMStatus writeDurably(const std::string& path, const std::vector<std::uint8_t>& bytes);
  // No value when the file does not exist; an error when it exists but cannot be read.
  static TOLMResult<std::optional<std::vector<std::uint8_t>>> readFile(const std::string& path);
  // Moves a file that could not be used out of the way, next to it, as
  // "<path>.unreadable-<YYYYMMDD-HHMMSS>". Returns the new path.
  static TOLMResult<std::string> setAside(const std::string& path);
};
