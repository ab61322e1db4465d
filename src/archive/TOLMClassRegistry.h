#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

class TOLMCoding;
class TOLMUnarchiver;

// Maps class names written in archives to the factories that read them back,
// so a subclass (an Easter event) comes back as itself.
class TOLMClassRegistry {
 public:
  // Reads one record's value sequence; returns null when the coder has failed.
  using Factory = std::function<std::shared_ptr<TOLMCoding>(TOLMUnarchiver& coder)>;

  // The registry holding every record class of the program (see TOLMBuiltInClasses.cpp).
  static TOLMClassRegistry& shared();

  void registerClass(const std::string& name, Factory factory);
  const Factory* factoryForName(const std::string& name) const;

 private:
  std::map<std::string, Factory> factories_;
};

// Registers every record class of the core; called once by shared().
void TOLMRegisterBuiltInClasses(TOLMClassRegistry& registry);
