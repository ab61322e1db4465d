#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/TOLMArchiveObject.h"
#include "base/TOLMResult.h"

// Decodes what TOLMArchiver wrote. Any malformed input puts the unarchiver in a
// failed state: later reads return none or zeros and the top-level call returns
// an error. It never reads past the end, recurses without bound or allocates
// more than the input can justify.
class TOLMUnarchiver {
 public:
  TOLMUnarchiver(const std::uint8_t* data, std::size_t size);

  TOLMArchiveObject decodeObject();
  // Fills the value at address (zeros when failed); returns false on failure.
  bool decodeValueOfObjCType(const char* type, void* address);

  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  // Marks the input as malformed; the first reason is kept.
  void fail(const std::string& why);

  static TOLMResult<TOLMArchiveObject> unarchiveObjectWithData(const std::vector<std::uint8_t>& data);

 private:
  std::size_t remaining() const { return size_ - offset_; }
  std::string at(std::size_t offset) const;
  bool need(std::size_t count, const char* what);
  std::uint8_t readByte();
  std::uint64_t readUInt64();
  double readDouble();
  bool readCount(std::size_t minimumEntrySize, const char* what, std::size_t& count);
  bool readBytes(const char* what, std::string& out);
  TOLMArchiveObject decodeContainer(std::uint8_t tag, std::size_t tagOffset);
  TOLMArchiveObject decodeList();
  TOLMArchiveObject decodeDictionary();
  TOLMArchiveObject decodeRecord(std::size_t tagOffset);

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
  int depth_ = 0;
  std::string error_;
};
