#include "dates/TOLMDate.h"

std::optional<TOLMDate> dateForString(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return TOLMDate();
}
