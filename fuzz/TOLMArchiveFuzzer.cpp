#include <cstdio>
#include <cstdlib>
#include <vector>

#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"

// Any bytes either fail cleanly or decode to a graph that writes, reads back
// as an equal graph, and writes the same bytes again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> input(data, data + size);
  const auto decoded = TOLMUnarchiver::unarchiveObjectWithData(input);
  if (!decoded.ok()) {
    if (decoded.error().empty()) {
      std::fprintf(stderr, "decoding failed without a reason\n");
      std::abort();
    }
    return 0;
  }
  TOLMArchiver archiver;
  archiver.encodeObject(decoded.value());
  if (archiver.failed()) {
    std::fprintf(stderr, "a decoded graph cannot be encoded: %s\n", archiver.error().c_str());
    std::abort();
  }
  const auto again = TOLMUnarchiver::unarchiveObjectWithData(archiver.data());
  if (!again.ok()) {
    std::fprintf(stderr, "re-encoded archive does not decode: %s\n", again.error().c_str());
    std::abort();
  }
  if (!again.value().isEqual(decoded.value())) {
    std::fprintf(stderr, "round trip changed the graph\n");
    std::abort();
  }
  if (TOLMArchiver::archivedDataWithRootObject(again.value()) != archiver.data()) {
    std::fprintf(stderr, "re-encoding is not stable\n");
    std::abort();
  }
  return 0;
}
