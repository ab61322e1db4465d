#include "alarms/TOLMAlarm.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "alarms/TOLMRulesTestSupport.h"
#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "dates/TOLMZoneScope.h"

using namespace rules_test;

namespace {

std::vector<std::uint8_t> archived(const std::shared_ptr<TOLMAlarm>& alarm) {
  return TOLMArchiver::archivedDataWithRootObject(TOLMArchiveObject::record(alarm));
}

std::shared_ptr<TOLMAlarm> unarchived(const std::vector<std::uint8_t>& data) {
  TOLMResult<TOLMArchiveObject> root = TOLMUnarchiver::unarchiveObjectWithData(data);
  if (!root) return nullptr;
  return root.value().recordAs<TOLMAlarm>();
}

// Every field away from its default, so a field read into the wrong place shows.
std::shared_ptr<TOLMAlarm> populatedAlarm() {
  auto a = std::make_shared<TOLMAlarm>();
  a->setAlarmIsEnabled(false);
  a->setAlarmName("Wake up");
  a->setAlarmMessage("Time to get up");
  a->setFireAfterDate(at(2005, 7, 1, 6, 0, 0));
  a->setFireBeforeDate(at(2005, 8, 31, 23, 0, 0));
  a->setFireAfterEnabled(true);
  a->setFireBeforeEnabled(true);
  a->setMinutesTillMusicExpires(12);
  a->setSecondsBetweenSongs(-3);
  a->setXMLSongEnabled(true);
  a->setManualSongLocation("/music/one.mp3");
  a->setRandomSongLocation("/music");
  a->setUrlSongLocation("http://example.org/stream");
  a->setXMLSongLocation("/music/Library.xml");
  a->setShouldLaunchScripts(true);
  a->setScriptsArray({"echo one", "echo two"});
  a->setSpecificFireEnabled(false);
  a->setSpecificFireDates({at(2005, 7, 10, 8), at(2005, 7, 20, 8, 30, 15)});
  a->setSetEnabled(false);
  const std::int32_t months[12] = {1, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 12};
  const std::int32_t days[7] = {0, 1, 1, 0, 0, 5, 0};
  a->setMonths(months);
  a->setDays(days);
  a->setSetTimes({timeOfDay(7, 0), timeOfDay(7, 30)});
  a->setMultipleFireEnabled(true);
  a->setSingleFireEnabled(true);
  a->setReferenceDate(at(2005, 7, 4, 6));
  a->setIntervalDate(at(0, 0, 1, 2, 3, 4));
  return a;
}

}  // namespace

TEST(TOLMAlarm, FreshRecordHasTheDocumentedDefaults) {
  TOLMZoneScope zone("America/New_York");
  ClockScope clock(utc(2005, 7, 4, 13, 5, 9));  // 09:05:09 in New York
  const TOLMAlarm a;
  EXPECT_TRUE(a.alarmIsEnabled());
  EXPECT_EQ(a.alarmName(), "");
  EXPECT_EQ(a.alarmMessage(), "");
  for (const TOLMDate* now : {&a.fireAfterDate(), &a.fireBeforeDate(), &a.referenceDate()}) {
    EXPECT_EQ(fieldsOf(*now), (Fields{2005, 7, 4, 9, 5, 9}));
  }
  EXPECT_FALSE(a.fireAfterIsEnabled());
  EXPECT_FALSE(a.fireBeforeIsEnabled());
  EXPECT_EQ(a.minutesTillMusicExpires(), 5);
  EXPECT_EQ(a.secondsBetweenSongs(), 5);
  EXPECT_FALSE(a.randomSongIsEnabled() || a.manualSongIsEnabled() || a.urlSongIsEnabled() || a.xmlSongIsEnabled());
  EXPECT_FALSE(a.launchingScriptsIsEnabled());
  EXPECT_TRUE(a.scriptsArray().empty());
  EXPECT_TRUE(a.specificFireEnabled());
  EXPECT_TRUE(a.specificFireDates().empty());
  EXPECT_TRUE(a.setIsEnabled());
  for (int i = 0; i < 12; ++i) EXPECT_EQ(a.months()[i], 0);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(a.days()[i], 0);
  EXPECT_TRUE(a.setTimes().empty());
  EXPECT_FALSE(a.multipleFireEnabled());
  EXPECT_FALSE(a.singleFireEnabled());
  EXPECT_EQ(fieldsOf(a.intervalDate()), (Fields{0, 0, 0, 0, 0, 0}));
}

TEST(TOLMAlarm, SettingOneMusicSourceOnTurnsTheOthersOff) {
  using Setter = void (TOLMAlarm::*)(bool);
  struct Step {
    Setter setter;
    bool value;
    bool random, manual, url, xml;  // flags afterwards
  };
  const std::vector<Step> steps = {
      {&TOLMAlarm::setRandomSongEnabled, true, true, false, false, false},
      {&TOLMAlarm::setUrlSongEnabled, true, false, false, true, false},
      {&TOLMAlarm::setUrlSongEnabled, false, false, false, false, false},
      {&TOLMAlarm::setManualSongEnabled, true, false, true, false, false},
      {&TOLMAlarm::setXMLSongEnabled, true, false, false, false, true},
      {&TOLMAlarm::setRandomSongEnabled, false, false, false, false, true},  // off touches only itself
      {&TOLMAlarm::setRandomSongEnabled, true, true, false, false, false},
  };
  TOLMAlarm a;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    (a.*steps[i].setter)(steps[i].value);
    SCOPED_TRACE("step " + std::to_string(i));
    EXPECT_EQ(a.randomSongIsEnabled(), steps[i].random);
    EXPECT_EQ(a.manualSongIsEnabled(), steps[i].manual);
    EXPECT_EQ(a.urlSongIsEnabled(), steps[i].url);
    EXPECT_EQ(a.xmlSongIsEnabled(), steps[i].xml);
  }
}

TEST(TOLMAlarm, MonthsAndDaysAreCopiedFromTheCaller) {
  std::int32_t months[12] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  std::int32_t days[7] = {0, 1, 1, 1, 1, 1, 0};
  TOLMAlarm a;
  a.setMonths(months);
  a.setDays(days);
  months[0] = 0;
  days[1] = 0;
  EXPECT_EQ(a.months()[0], 1);
  EXPECT_EQ(a.months()[11], 1);
  EXPECT_EQ(a.days()[1], 1);

  std::int32_t scratch[4] = {7, 7, 7, 7};
  initialzeArray(scratch, 3);
  EXPECT_EQ((std::vector<std::int32_t>(scratch, scratch + 4)), (std::vector<std::int32_t>{0, 0, 0, 7}));
  const std::int32_t source[2] = {4, 5};
  copyArray(scratch + 1, source, 2);
  EXPECT_EQ((std::vector<std::int32_t>(scratch, scratch + 4)), (std::vector<std::int32_t>{0, 4, 5, 7}));
}

// The writer's 29 values, read one by one in the stored order and types: the
// alarms file depends on exactly this sequence.
TEST(TOLMAlarm, WritesItsTwentyNineValuesInTheStoredOrder) {
  const std::shared_ptr<TOLMAlarm> a = populatedAlarm();
  TOLMArchiver archiver;
  a->encodeWithCoder(archiver);
  const std::vector<std::uint8_t> bytes = archiver.data();
  TOLMUnarchiver in(bytes.data(), bytes.size());

  const auto flag = [&in] {
    std::int8_t v = -1;
    EXPECT_TRUE(in.decodeValueOfObjCType("c", &v)) << in.error();
    return static_cast<int>(v);
  };
  const auto integer = [&in] {
    std::int32_t v = 0;
    EXPECT_TRUE(in.decodeValueOfObjCType("i", &v)) << in.error();
    return v;
  };
  const auto string = [&in] {
    const TOLMArchiveObject o = in.decodeObject();
    return o.stringValue() ? *o.stringValue() : std::string("<not a string>");
  };
  const auto date = [&in] {
    const std::shared_ptr<TOLMDate> d = in.decodeObject().recordAs<TOLMDate>();
    return d ? text(*d) : std::string("<not a date>");
  };
  const auto list = [&in] {
    std::vector<std::string> out;
    const std::shared_ptr<TOLMArchiveList> l = in.decodeObject().listValue();
    if (!l) return std::vector<std::string>{"<not a list>"};
    for (const TOLMArchiveObject& e : *l) {
      if (e.stringValue()) out.push_back(*e.stringValue());
      else if (auto d = e.recordAs<TOLMDate>()) out.push_back(text(*d));
      else out.push_back("<other>");
    }
    return out;
  };

  EXPECT_EQ(flag(), 0);                                    // 1 alarmEnabled
  EXPECT_EQ(string(), "Wake up");                          // 2
  EXPECT_EQ(string(), "Time to get up");                   // 3
  EXPECT_EQ(date(), "2005-07-01 06:00:00");                // 4 fireAfterDate
  EXPECT_EQ(date(), "2005-08-31 23:00:00");                // 5 fireBeforeDate
  EXPECT_EQ(flag(), 1);                                    // 6
  EXPECT_EQ(flag(), 1);                                    // 7
  EXPECT_EQ(integer(), 12);                                // 8 minutes
  EXPECT_EQ(integer(), -3);                                // 9 seconds between songs
  EXPECT_EQ(flag(), 0);                                    // 10 random
  EXPECT_EQ(flag(), 0);                                    // 11 manual
  EXPECT_EQ(flag(), 0);                                    // 12 url
  EXPECT_EQ(flag(), 1);                                    // 13 xml
  EXPECT_EQ(string(), "/music/one.mp3");                   // 14 manualLocation
  EXPECT_EQ(string(), "/music");                           // 15 randomLocation
  EXPECT_EQ(string(), "http://example.org/stream");        // 16 urlLocation
  EXPECT_EQ(string(), "/music/Library.xml");               // 17 xmlLocation
  EXPECT_EQ(flag(), 1);                                    // 18 launchScripts
  EXPECT_EQ(list(), (std::vector<std::string>{"echo one", "echo two"}));  // 19
  EXPECT_EQ(flag(), 0);                                                    // 20 specificEnabled
  EXPECT_EQ(list(), (std::vector<std::string>{"2005-07-10 08:00:00", "2005-07-20 08:30:15"}));  // 21
  EXPECT_EQ(flag(), 0);  // 22 setEnabled
  std::int32_t months[12] = {};
  std::int32_t days[7] = {};
  EXPECT_TRUE(in.decodeValueOfObjCType("[12i]", months));  // 23
  EXPECT_TRUE(in.decodeValueOfObjCType("[7i]", days));     // 24
  EXPECT_EQ((std::vector<std::int32_t>(months, months + 12)),
            (std::vector<std::int32_t>{1, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 12}));
  EXPECT_EQ((std::vector<std::int32_t>(days, days + 7)), (std::vector<std::int32_t>{0, 1, 1, 0, 0, 5, 0}));
  EXPECT_EQ(list(), (std::vector<std::string>{"0000-00-00 07:00:00", "0000-00-00 07:30:00"}));  // 25
  EXPECT_EQ(flag(), 1);                                                                          // 26 multiple
  EXPECT_EQ(flag(), 1);                                                                          // 27 one
  EXPECT_EQ(date(), "2005-07-04 06:00:00");                                                      // 28
  EXPECT_EQ(date(), "0000-00-01 02:03:04");                                                      // 29
  EXPECT_FALSE(in.failed()) << in.error();
}

TEST(TOLMAlarm, ArchiveRoundTripsKeepEveryValue) {
  TOLMZoneScope zone("America/New_York");
  ClockScope clock(utc(2005, 7, 4, 13, 5, 9));
  for (const std::shared_ptr<TOLMAlarm>& original : {std::make_shared<TOLMAlarm>(), populatedAlarm()}) {
    const std::vector<std::uint8_t> bytes = archived(original);
    const std::shared_ptr<TOLMAlarm> copy = unarchived(bytes);
    ASSERT_NE(copy, nullptr);
    // Equal value sequences mean equal records, all 29 values included.
    EXPECT_EQ(archived(copy), bytes);
    EXPECT_EQ(copy->alarmName(), original->alarmName());
    EXPECT_EQ(texts(copy->specificFireDates()), texts(original->specificFireDates()));
  }
  const std::shared_ptr<TOLMAlarm> fresh = unarchived(archived(std::make_shared<TOLMAlarm>()));
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(fresh->alarmIsEnabled());
  EXPECT_TRUE(fresh->specificFireEnabled() && fresh->setIsEnabled());
  EXPECT_EQ(fresh->minutesTillMusicExpires(), 5);
  EXPECT_EQ(fieldsOf(fresh->fireAfterDate()), (Fields{2005, 7, 4, 9, 5, 9}));
}

TEST(TOLMAlarm, ForeignOrDamagedArchivesFailInsteadOfGivingAHalfReadAlarm) {
  const std::vector<std::uint8_t> good = archived(populatedAlarm());
  for (std::size_t cut : {good.size() - 1, good.size() / 2, std::size_t{12}}) {
    const std::vector<std::uint8_t> truncated(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(TOLMUnarchiver::unarchiveObjectWithData(truncated).ok()) << "cut at " << cut;
  }

  // A string where the fire-after date belongs.
  TOLMArchiver archiver;
  const std::int8_t yes = 1;
  archiver.encodeValueOfObjCType("c", &yes);
  archiver.encodeObject(TOLMArchiveObject::string("name"));
  archiver.encodeObject(TOLMArchiveObject::string("message"));
  archiver.encodeObject(TOLMArchiveObject::string("not a date"));
  const std::vector<std::uint8_t> bytes = archiver.data();
  TOLMUnarchiver in(bytes.data(), bytes.size());
  EXPECT_EQ(TOLMAlarm::initWithCoder(in), nullptr);
  EXPECT_TRUE(in.failed());
}

TEST(TOLMAlarm, CloneIsADeepCopyWithTheSameName) {
  const std::shared_ptr<TOLMAlarm> original = populatedAlarm();
  const std::shared_ptr<TOLMAlarm> copy = cloneAlarm(*original);
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy.get(), original.get());
  EXPECT_EQ(copy->alarmName(), "Wake up");
  EXPECT_EQ(archived(copy), archived(original));

  copy->setScriptsArray({"changed"});
  copy->setSpecificFireDates({});
  const std::int32_t none[12] = {};
  copy->setMonths(none);
  EXPECT_EQ(original->scriptsArray(), (std::vector<std::string>{"echo one", "echo two"}));
  EXPECT_EQ(original->specificFireDates().size(), 2u);
  EXPECT_EQ(original->months()[0], 1);
}
