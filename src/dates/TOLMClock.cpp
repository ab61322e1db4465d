#include "dates/TOLMClock.h"

#include <ctime>
#include <utility>

namespace {

TOLMClock::Source& installedSource() {
  static TOLMClock::Source source;
  return source;
}

double systemNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

double TOLMClock::now() {
  const Source& source = installedSource();
  return source ? source() : systemNow();
}

void TOLMClock::setSource(Source source) { installedSource() = std::move(source); }
