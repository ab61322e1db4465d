// Writes an alarms file with two sample alarms, the second due a few seconds
// from now, for looking at the windows by hand (scripts/screenshots.sh).
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "alarms/TOLMAlarm.h"
#include "archive/TOLMArchiveObject.h"
#include "dates/TOLMClock.h"
#include "dates/TOLMDate.h"
#include "platform/TOLMArchiveFile.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s ALARMS-FILE SECONDS-UNTIL-THE-SECOND-ALARM [SONG]\n", argv[0]);
    return 2;
  }
  const double due = std::ceil(TOLMClock::now()) + std::stod(argv[2]);

  auto weekdays = std::make_shared<TOLMAlarm>();
  weekdays->setAlarmName("Weekdays");
  weekdays->setAlarmMessage("Good morning");
  const std::int32_t months[12] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  const std::int32_t days[7] = {0, 1, 1, 1, 1, 1, 0};
  weekdays->setMonths(months);
  weekdays->setDays(days);
  const std::int32_t time[6] = {0, 0, 0, 6, 45, 0};
  weekdays->setSetTimes({TOLMDate::initWithIntArray(time)});
  weekdays->setSpecificFireEnabled(false);

  auto soon = std::make_shared<TOLMAlarm>();
  soon->setAlarmName("Tea");
  soon->setAlarmMessage("The tea is ready");
  soon->setSetEnabled(false);
  soon->setSpecificFireDates({TOLMDate::initWithCalendarDate(due)});
  if (argc > 3) {
    soon->setManualSongEnabled(true);
    soon->setManualSongLocation(argv[3]);
  }
  soon->setShouldLaunchScripts(true);
  soon->setScriptsArray({"true"});

  const TOLMStatus written = TOLMArchiveFile::archiveRootObject_toFile(
      TOLMArchiveObject::list(TOLMArchiveList{TOLMArchiveObject::record(weekdays), TOLMArchiveObject::record(soon)}),
      argv[1]);
  if (!written) {
    std::fprintf(stderr, "%s\n", written.error().c_str());
    return 1;
  }
  return 0;
}
