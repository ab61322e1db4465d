#pragma once

// Building blocks for hand-written archive bytes.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace archive_bytes {

using Bytes = std::vector<std::uint8_t>;

inline Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline Bytes le64(std::uint64_t v) {
  Bytes out;
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  return out;
}

inline Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

inline const Bytes kHeader = {'V', 'K', 'A', 'R', 0x01};

}  // namespace archive_bytes
