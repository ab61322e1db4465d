#include "events/TOLMRepetitiveEvent.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alarms/TOLMRulesTestSupport.h"
#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMArchiver.h"
#include "archive/TOLMUnarchiver.h"
#include "dates/TOLMZoneScope.h"
#include "events/TOLMRepetitiveEvent-Easter.h"

using namespace rules_test;

namespace {

using Event = TOLMRepetitiveEvent;
using List = TOLMRepetitiveEvent::List;

std::shared_ptr<Event> event(std::optional<TOLMDate> first = std::nullopt, std::optional<TOLMDate> last = std::nullopt) {
  return Event::initWithName_message_firstDate_lastDate("Event", "", first, last);
}

const List kEveryMonth = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

struct Day {
  TOLMDate date;
  bool occurs;
};

struct RuleCase {
  std::string name;
  std::function<void(Event&)> rule;
  std::vector<Day> days;
};

void expectRules(const std::vector<RuleCase>& cases, const std::function<std::shared_ptr<Event>()>& make) {
  for (const RuleCase& c : cases) {
    const std::shared_ptr<Event> e = make();
    c.rule(*e);
    for (const Day& d : c.days) {
      EXPECT_EQ(e->eventOccursOnDate(d.date), d.occurs) << c.name << ": " << text(d.date);
    }
  }
}

std::vector<std::uint8_t> archived(const std::shared_ptr<TOLMCoding>& record) {
  return TOLMArchiver::archivedDataWithRootObject(TOLMArchiveObject::record(record));
}

std::shared_ptr<Event> unarchived(const std::vector<std::uint8_t>& bytes) {
  TOLMResult<TOLMArchiveObject> root = TOLMUnarchiver::unarchiveObjectWithData(bytes);
  if (!root) return nullptr;
  return root.value().recordAs<Event>();
}

}  // namespace

// Dates below are stored with weekday 0 whatever the day is: the rule reads
// the calendar day itself. 2005-05-01 was a Sunday, 2005-01-01 a Saturday.
TEST(TOLMRepetitiveEvent, EachKindOfRuleMatchesItsDays) {
  expectRules(
      {
          {"a new event", [](Event&) {}, {{at(2005, 5, 8), false}, {at(2005, 1, 1), false}}},
          {"second Sunday of May",
           [](Event& e) { e.setDaysOfWeek_weeksOfMonth_monthsOfYear(List{0}, List{2}, List{5}); },
           {{at(2005, 5, 8), true},
            {at(2006, 5, 14), true},
            {at(2005, 5, 1), false},   // first Sunday
            {at(2005, 5, 15), false},  // third Sunday
            {at(2005, 5, 9), false},
            {at(2005, 6, 12), false}}},
          {"Sundays in week 5: only months where a Sunday falls on the 29th to 31st",
           [](Event& e) { e.setDaysOfWeek_weeksOfMonth_monthsOfYear(List{0}, List{5}, kEveryMonth); },
           {{at(2005, 1, 30), true},
            {at(2005, 5, 29), true},
            {at(2005, 7, 31), true},
            {at(2005, 2, 27), false},
            {at(2005, 8, 28), false}}},
          {"week 53 is 30 and 31 December alone",
           [](Event& e) { e.setDaysOfWeek_weeksOfYear(List{0, 1, 2, 3, 4, 5, 6}, List{53}); },
           {{at(2005, 12, 31), true},
            {at(2004, 12, 30), true},
            {at(2004, 12, 31), true},
            {at(2005, 12, 30), false},
            {at(2004, 12, 29), false}}},
          {"Saturdays of week 1",
           [](Event& e) { e.setDaysOfWeek_weeksOfYear(List{6}, List{1}); },
           {{at(2005, 1, 1), true}, {at(2005, 1, 8), false}, {at(2006, 1, 7), true}}},
          {"the 31st of January, March and December",
           [](Event& e) { e.setDaysOfMonth_monthsOfYear(List{31}, List{1, 3, 12}); },
           {{at(2005, 1, 31), true}, {at(2005, 12, 31, 23, 59, 59), true}, {at(2005, 4, 30), false},
            {at(2005, 5, 31), false}}},
          {"day 60 of the year",
           [](Event& e) { e.setDaysOfYear(List{60}); },
           {{at(2004, 2, 29), true}, {at(2005, 3, 1), true}, {at(2005, 2, 28), false}}},
          {"days of week and weeks of month without months never occur",
           [](Event& e) { e.setDaysOfWeek_weeksOfMonth_monthsOfYear(List{0}, List{2}, std::nullopt); },
           {{at(2005, 5, 8), false}, {at(2005, 6, 12), false}}},
          {"a present but empty list matches nothing",
           [](Event& e) { e.setDaysOfMonth_monthsOfYear(List{}, kEveryMonth); },
           {{at(2005, 5, 8), false}, {at(2005, 1, 1), false}}},
          {"an empty days-of-year list matches nothing",
           [](Event& e) { e.setDaysOfYear(List{}); },
           {{at(2005, 1, 1), false}}},
          {"a rule setter replaces the whole rule",
           [](Event& e) {
             e.setDaysOfYear(List{1});
             e.setDaysOfMonth_monthsOfYear(List{8}, List{5});
           },
           {{at(2005, 1, 1), false}, {at(2005, 5, 8), true}}},
      },
      [] { return event(); });
}

TEST(TOLMRepetitiveEvent, TheActiveWindowAndTheYearStep) {
  const auto every = [](Event& e) { e.setDaysOfMonth_monthsOfYear(List{1, 31}, kEveryMonth); };
  expectRules({{"window bounds are inclusive to the second",
                every,
                {{at(1999, 12, 31), false},
                 {at(2000, 1, 1), true},
                 {at(2002, 12, 31, 23, 59, 59), true},
                 {at(2003, 1, 1), false}}}},
              [] { return event(at(2000, 1, 1), at(2002, 12, 31, 23, 59, 59)); });

  struct Step {
    std::optional<std::int32_t> increment;  // none: keep the default
    bool withFirstDate;
    std::vector<int> occursIn;
    std::vector<int> absentIn;
  };
  const std::vector<Step> steps = {
      {2, true, {2000, 2002, 2004}, {2001, 2003}},
      {4, true, {2000, 2004, 2008}, {2001, 2002, 2006}},
      {0, true, {2000}, {2001, 2002, 2004}},
      {-1, true, {2000, 2001, 2002}, {}},
      {1, true, {2000, 2001, 2002}, {}},
      {std::nullopt, true, {2000, 2001, 2002}, {}},
      {3, false, {1999, 2000, 2001, 2002}, {}},  // no first date: the step is ignored
  };
  for (const Step& s : steps) {
    const std::shared_ptr<Event> e = event(s.withFirstDate ? std::optional<TOLMDate>(at(2000, 6, 1)) : std::nullopt);
    e->setDaysOfMonth_monthsOfYear(List{1}, List{6});
    if (s.increment) e->setYearIncremenet(*s.increment);
    const std::string name = "step " + (s.increment ? std::to_string(*s.increment) : std::string("default"));
    for (int year : s.occursIn) EXPECT_TRUE(e->eventOccursOnDate(at(year, 6, 1))) << name << " in " << year;
    for (int year : s.absentIn) EXPECT_FALSE(e->eventOccursOnDate(at(year, 6, 1))) << name << " in " << year;
  }
}

TEST(TOLMRepetitiveEvent, EasterSundayFrom1583On) {
  struct Easter {
    int year, month, day;
  };
  const std::vector<Easter> dates = {{1583, 4, 10}, {1584, 4, 1},  {1818, 3, 22}, {1999, 4, 4},  {2000, 4, 23},
                                     {2001, 4, 15}, {2002, 3, 31}, {2003, 4, 20}, {2004, 4, 11}, {2005, 3, 27},
                                     {2008, 3, 23}, {2011, 4, 24}, {2024, 3, 31}, {2038, 4, 25}, {2285, 3, 22}};
  // The year step, the window and the rule setters change nothing.
  const auto e = TOLMRepetitiveEvent_Easter::initWithName_message_firstDate_lastDate("Easter", "", at(2010, 1, 1),
                                                                                      at(2011, 1, 1));
  e->setYearIncremenet(0);
  e->setDaysOfYear(List{1});
  EXPECT_FALSE(e->nthDaysOfYear().has_value());
  for (const Easter& d : dates) {
    int month = 0;
    int day = 0;
    easter(d.year, month, day);
    EXPECT_EQ(month * 100 + day, d.month * 100 + d.day) << d.year;
    EXPECT_TRUE(e->eventOccursOnDate(at(d.year, d.month, d.day, 9))) << d.year;
    EXPECT_FALSE(e->eventOccursOnDate(at(d.year, d.month, d.day - 1))) << d.year;
    EXPECT_FALSE(e->eventOccursOnDate(at(d.year, d.month, d.day + 1))) << d.year;
  }
  EXPECT_FALSE(e->eventOccursOnDate(at(2005, 1, 1)));
  for (int day = 1; day <= 31; ++day) {
    EXPECT_FALSE(e->eventOccursOnDate(at(1582, 4, day)));  // before the Gregorian calendar
    EXPECT_FALSE(e->eventOccursOnDate(at(2000, 5, day)));
  }
  EXPECT_FALSE(e->popUpsEditable());
  EXPECT_TRUE(event()->popUpsEditable());
}

TEST(TOLMRepetitiveEvent, MessagesFillTheCountersSinceAndUntil) {
  struct Message {
    std::string template_;
    std::optional<TOLMDate> first, last;
    TOLMDate day;
    std::string expected;
  };
  const std::optional<TOLMDate> none;
  const std::vector<Message> messages = {
      {"%Y%M%D", at(2003, 4, 5), none, at(2004, 6, 8), "123"},
      {"%Y %M %D", at(1990, 6, 14), none, at(2004, 6, 14), "14 0 0"},
      {"%y%m%d", none, at(2006, 9, 7), at(2005, 7, 4), "123"},
      {"%Y since, %y to go, %Y again", at(2000, 1, 1), at(2010, 1, 1), at(2004, 1, 1), "4 since, 6 to go, 4 again"},
      {"%Y%M%D", at(2005, 7, 4), none, at(2004, 5, 1), "-1-2-3"},  // before the first date
      // The part under a day is dropped.
      {"%Y %M %D", at(2005, 1, 1, 12), none, at(2006, 1, 1, 11, 59, 59), "0 11 30"},
      // A month from the 31st ends on a shorter month's last day.
      {"%M %D", at(2005, 1, 31), none, at(2005, 2, 28), "1 0"},
      {"%M %D", at(2005, 1, 31), none, at(2005, 3, 30), "1 30"},
      {"%Y %M %D", at(2004, 2, 29), none, at(2005, 2, 28), "1 0 0"},
      // A counter whose date is absent stays as it is.
      {"%Y and %y", none, at(2006, 1, 1), at(2005, 1, 1), "%Y and 1"},
      {"%Y and %y", at(2004, 1, 1), none, at(2005, 1, 1), "1 and %y"},
      {"100%% %x %Q%", at(2004, 1, 1), at(2006, 1, 1), at(2005, 1, 1), "100%% %x %Q%"},
      {"no counters", at(2004, 1, 1), none, at(2005, 1, 1), "no counters"},
  };
  for (const Message& m : messages) {
    const std::shared_ptr<Event> e = event(m.first, m.last);
    e->setMessage(m.template_);
    EXPECT_EQ(e->messageForDate(m.day), m.expected) << m.template_ << " on " << text(m.day);
    EXPECT_EQ(e->message(), m.template_);
  }

  // Days are counted on the wall clock: the short day of a change still counts as one.
  TOLMZoneScope zone("America/New_York");
  const std::shared_ptr<Event> e = event(at(2026, 3, 7, 12));
  e->setMessage("%D");
  EXPECT_EQ(e->messageForDate(at(2026, 3, 8, 12)), "1");
}

TEST(TOLMRepetitiveEvent, DefaultsAndOrdering) {
  const std::shared_ptr<Event> e = Event::initWithName_message_firstDate_lastDate("Birthday", "%Y today", at(1981, 8, 11), std::nullopt);
  EXPECT_EQ(e->name(), "Birthday");
  EXPECT_EQ(e->message(), "%Y today");
  EXPECT_EQ(text(e->firstActiveDate()), "1981-08-11 00:00:00");
  EXPECT_FALSE(e->lastActiveDate().has_value());
  for (const auto* list : {&e->nthDaysOfWeek(), &e->nthDaysOfMonth(), &e->nthDaysOfYear(), &e->nthWeeksOfMonth(),
                           &e->nthWeeksOfYear(), &e->nthMonthsOfYear()}) {
    EXPECT_FALSE(list->has_value());
  }
  EXPECT_EQ(e->yearIncrement(), 1);
  EXPECT_FALSE(e->notifiesOfEventWithMessage());
  EXPECT_FALSE(e->notifiesOfDateWithBeep());
  EXPECT_EQ(text(e->timeOfNotification()), "1981-08-11 00:00:00");

  struct Names {
    std::string a, b;
    int expected;
  };
  for (const Names& n : std::vector<Names>{{"Anniversary", "Birthday", -1}, {"Birthday", "anniversary", -1},
                                           {"Easter", "Easter", 0}, {"Easter Monday", "Easter", 1}}) {
    const std::shared_ptr<Event> x = event();
    const std::shared_ptr<Event> y = event();
    x->setName(n.a);
    y->setName(n.b);
    EXPECT_EQ(x->compare(*y), n.expected) << n.a << " vs " << n.b;
  }

  const std::shared_ptr<Event> early = event();
  const std::shared_ptr<Event> late = event();
  early->setTimeOfNotification(at(2020, 1, 1, 7, 59, 59));
  late->setTimeOfNotification(at(1990, 1, 1, 8, 0, 0));
  EXPECT_EQ(early->sortByTimeOfNot(*late), -1);  // only the time of day counts
  EXPECT_EQ(late->sortByTimeOfNot(*early), 1);
  late->setTimeOfNotification(at(1990, 6, 6, 7, 59, 59));
  EXPECT_EQ(early->sortByTimeOfNot(*late), 0);
}

TEST(TOLMRepetitiveEvent, WritesItsFourteenValuesWithNullForAbsent) {
  const std::shared_ptr<Event> e = event(std::nullopt, at(2010, 1, 1));
  e->setDaysOfWeek_weeksOfMonth_monthsOfYear(List{0}, List{}, List{5, 6});
  e->setName("Mother's Day");
  e->setMessage("%y");
  e->setNotifiesOfDateWithBeep(true);
  e->setYearIncremenet(-1);
  TOLMArchiver archiver;
  e->encodeWithCoder(archiver);
  const std::vector<std::uint8_t> bytes = archiver.data();
  TOLMUnarchiver in(bytes.data(), bytes.size());
  const auto integers = [](const TOLMArchiveObject& o) {
    std::vector<std::int64_t> out;
    for (const TOLMArchiveObject& n : *o.listValue()) out.push_back(n.integerValue().value_or(-99));
    return out;
  };
  EXPECT_TRUE(in.decodeObject().isNull());                                          // 1 firstDate
  EXPECT_EQ(text(*in.decodeObject().recordAs<TOLMDate>()), "2010-01-01 00:00:00");  // 2 lastDate
  EXPECT_EQ(integers(in.decodeObject()), (std::vector<std::int64_t>{0}));           // 3 days of week
  EXPECT_TRUE(in.decodeObject().isNull());                                          // 4 days of month
  EXPECT_TRUE(in.decodeObject().isNull());                                          // 5 days of year
  EXPECT_TRUE(in.decodeObject().listValue()->empty());                              // 6 weeks of month: empty
  EXPECT_TRUE(in.decodeObject().isNull());                                          // 7 weeks of year
  EXPECT_EQ(integers(in.decodeObject()), (std::vector<std::int64_t>{5, 6}));        // 8 months
  EXPECT_EQ(*in.decodeObject().stringValue(), "%y");                                // 9 message
  EXPECT_EQ(*in.decodeObject().stringValue(), "Mother's Day");                      // 10 name
  EXPECT_EQ(text(*in.decodeObject().recordAs<TOLMDate>()), "1981-08-11 00:00:00");  // 11 time
  std::int8_t withMessage = -1;
  std::int8_t withBeep = -1;
  std::int32_t increment = 0;
  EXPECT_TRUE(in.decodeValueOfObjCType("c", &withMessage));
  EXPECT_TRUE(in.decodeValueOfObjCType("c", &withBeep));
  EXPECT_TRUE(in.decodeValueOfObjCType("i", &increment));
  EXPECT_EQ(withMessage, 0);
  EXPECT_EQ(withBeep, 1);
  EXPECT_EQ(increment, -1);
  EXPECT_FALSE(in.failed()) << in.error();
}

TEST(TOLMRepetitiveEvent, ArchiveRoundTripsKeepAbsentEmptyAndTheClass) {
  const std::shared_ptr<Event> plain = event();
  plain->setDaysOfMonth_monthsOfYear(List{}, std::nullopt);
  const std::shared_ptr<Event> read = unarchived(archived(plain));
  ASSERT_NE(read, nullptr);
  EXPECT_FALSE(read->firstActiveDate().has_value());
  EXPECT_FALSE(read->lastActiveDate().has_value());
  EXPECT_FALSE(read->nthDaysOfWeek().has_value());
  EXPECT_FALSE(read->nthMonthsOfYear().has_value());
  ASSERT_TRUE(read->nthDaysOfMonth().has_value());
  EXPECT_TRUE(read->nthDaysOfMonth()->empty());
  EXPECT_EQ(std::dynamic_pointer_cast<TOLMRepetitiveEvent_Easter>(read), nullptr);

  const std::shared_ptr<Event> full = event(at(2000, 1, 1), at(2010, 12, 31, 23, 59, 59));
  full->setDaysOfWeek_weeksOfYear(List{1, 3}, List{53, 1});
  full->setName("Full");
  full->setMessage("%Y/%y");
  full->setNotifiesOfEventWithMessage(true);
  full->setTimeOfNotification(at(1981, 8, 11, 7, 30));
  full->setYearIncremenet(3);
  const std::vector<std::uint8_t> fullBytes = archived(full);
  const std::shared_ptr<Event> fullRead = unarchived(fullBytes);
  ASSERT_NE(fullRead, nullptr);
  EXPECT_EQ(archived(fullRead), fullBytes);
  EXPECT_EQ(fullRead->nthWeeksOfYear(), (std::optional<List>(List{53, 1})));

  const auto easterEvent = TOLMRepetitiveEvent_Easter::initWithName_message_firstDate_lastDate("Easter", "", std::nullopt,
                                                                                                std::nullopt);
  TOLMResult<TOLMArchiveObject> root = TOLMUnarchiver::unarchiveObjectWithData(
      TOLMArchiver::archivedDataWithRootObject(TOLMArchiveObject::list(TOLMArchiveList{
          TOLMArchiveObject::record(easterEvent), TOLMArchiveObject::record(plain)})));
  ASSERT_TRUE(root.ok()) << root.error();
  const auto& list = *root.value().listValue();
  const auto easterRead = list[0].recordAs<TOLMRepetitiveEvent_Easter>();
  ASSERT_NE(easterRead, nullptr);
  EXPECT_EQ(easterRead->className(), "TOLMRepetitiveEvent_Easter");
  EXPECT_TRUE(easterRead->eventOccursOnDate(at(2000, 4, 23)));
  EXPECT_EQ(list[1].recordAs<TOLMRepetitiveEvent_Easter>(), nullptr);
}

TEST(TOLMRepetitiveEvent, ListsThatAreNotIntegersFailToRead) {
  TOLMArchiver archiver;
  archiver.encodeObject(TOLMArchiveObject::null());
  archiver.encodeObject(TOLMArchiveObject::null());
  archiver.encodeObject(TOLMArchiveObject::list(TOLMArchiveList{TOLMArchiveObject::string("Sunday")}));
  const std::vector<std::uint8_t> bytes = archiver.data();
  TOLMUnarchiver in(bytes.data(), bytes.size());
  EXPECT_EQ(Event::initWithCoder(in), nullptr);
  EXPECT_TRUE(in.failed());

  EXPECT_TRUE(createNSNullIfNil(TOLMArchiveObject()).isNull());
  EXPECT_TRUE(nilIfNSNull(TOLMArchiveObject::null()).isNone());
  EXPECT_EQ(*createNSNullIfNil(TOLMArchiveObject::string("x")).stringValue(), "x");
  EXPECT_EQ(*nilIfNSNull(TOLMArchiveObject::string("x")).stringValue(), "x");
}
