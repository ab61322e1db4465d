#include "archive/TOLMClassRegistry.h"
#include "archive/TOLMUnarchiver.h"
#include "dates/TOLMDate.h"

// Every record class the program archives, by the name it writes. A class
// missing here makes its files unreadable, so each record class adds itself.
void TOLMRegisterBuiltInClasses(TOLMClassRegistry& registry) {
  registry.registerClass("TOLMDate", [](TOLMUnarchiver& coder) { return TOLMDate::initWithCoder(coder); });

  // --- record classes added by their owners: TOLMAlarm, TOLMRepetitiveEvent,
  // --- TOLMRepetitiveEvent_Easter
}
