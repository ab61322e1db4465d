#include "platform/TOLMTimingLog.h"

#include "dates/TOLMClock.h"

Q_LOGGING_CATEGORY(vekkaroTiming, "vekkaro.timing", QtInfoMsg)

void TOLMTimingLog::mark(const char* event) {
  if (!vekkaroTiming().isDebugEnabled()) return;
  qCDebug(vekkaroTiming, "%s at=%.6f", event, TOLMClock::now());
}

void TOLMTimingLog::markDue(const char* event, double dueInstant) {
  if (!vekkaroTiming().isDebugEnabled()) return;
  const double now = TOLMClock::now();
  qCDebug(vekkaroTiming, "%s due=%.6f at=%.6f late_ms=%.1f", event, dueInstant, now, (now - dueInstant) * 1000.0);
}
