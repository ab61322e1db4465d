#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

// Sets TZ (and tzset) for the lifetime of the object, then restores it.
class TOLMZoneScope {
 public:
  explicit TOLMZoneScope(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~TOLMZoneScope() {
    if (old_) {
      ::setenv("TZ", old_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  TOLMZoneScope(const TOLMZoneScope&) = delete;
  TOLMZoneScope& operator=(const TOLMZoneScope&) = delete;

 private:
  std::optional<std::string> old_;
};
