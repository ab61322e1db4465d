#pragma once

#include <string>

class TOLMArchiver;

// A record of the program's own that writes itself into an archive as a fixed
// sequence of values. Decoding goes through the factory registered for its
// class name in TOLMClassRegistry.
class TOLMCoding {
 public:
  virtual ~TOLMCoding() = default;
  virtual std::string className() const = 0;
  virtual void encodeWithCoder(TOLMArchiver& coder) const = 0;
};
