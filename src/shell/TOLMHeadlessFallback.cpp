#include "shell/TOLMHeadlessFallback.h"

#include <cstdio>
#include <cstdlib>

namespace {
bool isSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}
}  // namespace

bool TOLMHeadlessFallback::applyIfNoDisplay() {
  if (isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY")) return false;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::fprintf(stderr, "Vekkaro: no display found (DISPLAY and WAYLAND_DISPLAY are unset); running offscreen.\n");
  return true;
}
