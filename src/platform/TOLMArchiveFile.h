#pragma once

#include <string>

#include "archive/TOLMArchiveObject.h"
#include "base/TOLMResult.h"

// The file forms of the archive.
class TOLMArchiveFile {
 public:
  // Writes durably, replacing the file.
  static TOLMStatus archiveRootObject_toFile(const TOLMArchiveObject& root, const std::string& path);
  // None when the file does not exist; an error when it cannot be read or decoded.
  static TOLMResult<TOLMArchiveObject> unarchiveObjectWithFile(const std::string& path);
};
