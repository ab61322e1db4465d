#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(vekkaroTiming)

// Timestamps of the steps between an alarm's due second and the user hearing
// it, for measuring latency. Off unless QT_LOGGING_RULES turns on
// "vekkaro.timing.debug".
class TOLMTimingLog {
 public:
  // Writes "vekkaro.timing: <event> at=<wall clock, seconds>".
  static void mark(const char* event);
  // Writes "vekkaro.timing: <event> due=<instant> at=<wall clock> late_ms=<delay>".
  static void markDue(const char* event, double dueInstant);
};
