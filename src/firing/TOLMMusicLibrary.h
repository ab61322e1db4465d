#pragma once

#include <string>
#include <vector>

#include "base/TOLMResult.h"

// A music-library file: an XML property list whose root dictionary holds
// "Tracks", a dictionary of track dictionaries, each with its "Location" URL.
class TOLMMusicLibrary {
 public:
  // The "Location" of every track that has one, in file order. Read as a
  // stream, so a large library costs little memory.
  static TOLMResult<std::vector<std::string>> trackLocationsInFile(const std::string& path);
  static TOLMResult<std::vector<std::string>> trackLocationsInData(const std::string& xml);
};
