#include "archive/TOLMClassRegistry.h"
#include "archive/TOLMUnarchiver.h"
#include "alarms/TOLMAlarm.h"
#include "dates/TOLMDate.h"
#include "events/TOLMRepetitiveEvent-Easter.h"
#include "events/TOLMRepetitiveEvent.h"

// Every record class the program archives, by the name it writes. A class
// missing here makes its files unreadable, so each record class adds itself.
void TOLMRegisterBuiltInClasses(TOLMClassRegistry& registry) {
  registry.registerClass("TOLMDate", [](TOLMUnarchiver& coder) { return TOLMDate::initWithCoder(coder); });

  // --- record classes added by their owners: TOLMAlarm, TOLMRepetitiveEvent,
  // --- TOLMRepetitiveEvent_Easter
  registry.registerClass("TOLMAlarm", [](TOLMUnarchiver& coder) { return TOLMAlarm::initWithCoder(coder); });
  registry.registerClass("TOLMRepetitiveEvent",
                         [](TOLMUnarchiver& coder) { return TOLMRepetitiveEvent::initWithCoder(coder); });
  registry.registerClass("TOLMRepetitiveEvent_Easter",
                         [](TOLMUnarchiver& coder) { return TOLMRepetitiveEvent_Easter::initWithCoder(coder); });
}
