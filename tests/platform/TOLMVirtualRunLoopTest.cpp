#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dates/TOLMClock.h"
#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMVirtualRunLoop.h"

namespace {

constexpr double kStart = 1'700'000'000.0;

struct Fired {
  std::string name;
  double at;  // seconds after kStart
  bool operator==(const Fired&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Fired& fired) {
  return out << fired.name << "@" << fired.at;
}

// Exposes single passes, to see what one pass fires.
class PassLoop : public TOLMVirtualRunLoop {
 public:
  using TOLMVirtualRunLoop::TOLMVirtualRunLoop;
  using TOLMRunLoop::firePass;
};

class VirtualRunLoopTest : public ::testing::Test {
 protected:
  TOLMTimer::Action record(std::string name) {
    return [this, name = std::move(name)](TOLMTimer&) { fired.push_back({name, loop.now() - kStart}); };
  }
  std::shared_ptr<TOLMTimer> schedule(std::string name, double interval, bool repeats = false) {
    return loop.scheduledTimerWithTimeInterval(interval, record(std::move(name)), {}, repeats);
  }

  TOLMNotificationCenter center;
  PassLoop loop{center, kStart};
  std::vector<Fired> fired;
};

struct TimerSetup {
  std::string name;
  double interval;
  bool repeats;
};

struct OrderCase {
  const char* label;
  std::vector<TimerSetup> timers;
  double advance;
  std::vector<Fired> expected;
};

TEST_F(VirtualRunLoopTest, FiresInFireDateOrderEachAtItsOwnDate) {
  const std::vector<OrderCase> cases = {
      {"by fire date, not by scheduling",
       {{"late", 3, false}, {"early", 1, false}, {"mid", 2, false}},
       5,
       {{"early", 1}, {"mid", 2}, {"late", 3}}},
      {"equal dates in scheduling order",
       {{"a", 5, false}, {"b", 5, false}, {"c", 5, false}},
       5,
       {{"a", 5}, {"b", 5}, {"c", 5}}},
      {"zero and negative fire at the next pass, in scheduling order",
       {{"one", 1, false}, {"zero", 0, false}, {"negative", -4, false}},
       2,
       {{"zero", 0}, {"negative", 0}, {"one", 1}}},
      {"repeating every interval among one-shots",
       {{"every2", 2, true}, {"once3", 3, false}},
       7,
       {{"every2", 2}, {"once3", 3}, {"every2", 4}, {"every2", 6}}},
      {"repeating timers meeting on a date keep their scheduling order",
       {{"b", 1.5, true}, {"a", 1.0, true}, {"c", 1.5, true}},
       3,
       {{"a", 1}, {"b", 1.5}, {"c", 1.5}, {"a", 2}, {"b", 3}, {"a", 3}, {"c", 3}}},
      {"nothing past the target", {{"later", 10, false}}, 9.999, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TOLMNotificationCenter localCenter;
    TOLMVirtualRunLoop localLoop(localCenter, kStart);
    std::vector<Fired> log;
    std::vector<std::shared_ptr<TOLMTimer>> timers;
    for (const auto& setup : c.timers) {
      timers.push_back(localLoop.scheduledTimerWithTimeInterval(
          setup.interval, [&log, &localLoop, name = setup.name](TOLMTimer&) { log.push_back({name, localLoop.now() - kStart}); },
          {}, setup.repeats));
    }
    EXPECT_TRUE(log.empty()) << "nothing fires inside the scheduling call";
    localLoop.advance(c.advance);
    EXPECT_EQ(log, c.expected);
    EXPECT_DOUBLE_EQ(localLoop.now(), kStart + c.advance);
  }
}

TEST_F(VirtualRunLoopTest, OneShotIsInvalidWhenItsActionRunsAndRepeatingStaysValid) {
  bool validInAction = true;
  auto once = loop.scheduledTimerWithTimeInterval(
      1, [&](TOLMTimer& timer) { validInAction = timer.isValid(); }, {}, false);
  auto every = schedule("every", 1, true);
  EXPECT_DOUBLE_EQ(once->fireDate(), kStart + 1);
  EXPECT_EQ(loop.scheduledTimerCount(), 2u);

  loop.advance(1);
  EXPECT_FALSE(validInAction);
  EXPECT_FALSE(once->isValid());
  EXPECT_TRUE(every->isValid());
  EXPECT_DOUBLE_EQ(every->fireDate(), kStart + 2);
  EXPECT_EQ(loop.scheduledTimerCount(), 1u);
}

TEST_F(VirtualRunLoopTest, ZeroIntervalTimerScheduledByAFiringWaitsForTheNextPass) {
  auto outer = loop.scheduledTimerWithTimeInterval(
      0, [&](TOLMTimer&) {
        fired.push_back({"outer", 0});
        schedule("inner", 0);
      },
      {}, false);
  EXPECT_EQ(loop.firePass(), 1u);
  EXPECT_EQ(fired, (std::vector<Fired>{{"outer", 0}}));
  EXPECT_EQ(loop.firePass(), 1u);
  EXPECT_EQ(fired, (std::vector<Fired>{{"outer", 0}, {"inner", 0}}));

  // advance() runs those later passes itself.
  loop.scheduledTimerWithTimeInterval(
      0, [&](TOLMTimer&) { schedule("chained", 0); }, {}, false);
  loop.runPending();
  EXPECT_EQ(fired.back(), (Fired{"chained", 0}));
}

TEST_F(VirtualRunLoopTest, InvalidateWorksFromAnyActionAndIsHarmlessTwice) {
  // Its own repeating timer, from inside its action.
  auto selfStopping = loop.scheduledTimerWithTimeInterval(
      1, [&](TOLMTimer& timer) {
        fired.push_back({"self", loop.now() - kStart});
        timer.invalidate();
        timer.invalidate();
      },
      {}, true);
  // Other timers due in the same pass must then not fire.
  std::shared_ptr<TOLMTimer> victim, repeatingVictim;
  auto killer = loop.scheduledTimerWithTimeInterval(
      2, [&](TOLMTimer&) {
        victim->invalidate();
        repeatingVictim->invalidate();
      },
      {}, false);
  victim = schedule("victim", 2);
  repeatingVictim = schedule("repeatingVictim", 2, true);

  loop.advance(5);
  EXPECT_EQ(fired, (std::vector<Fired>{{"self", 1}}));
  EXPECT_FALSE(selfStopping->isValid());
  EXPECT_FALSE(victim->isValid());
  EXPECT_FALSE(repeatingVictim->isValid());
  EXPECT_EQ(loop.scheduledTimerCount(), 0u);
  killer->invalidate();  // already fired: nothing happens
  EXPECT_FALSE(killer->isValid());
}

TEST_F(VirtualRunLoopTest, ActionMayReplaceTheOnlyReferenceToItsOwnTimer) {
  // The usual self re-arming pattern: the owner's pointer is the only one
  // outside the loop, and the action overwrites it while running.
  struct Owner {
    PassLoop* loop;
    std::shared_ptr<TOLMTimer> timer;
    int count = 0;
    void arm() {
      timer = loop->scheduledTimerWithTimeInterval(
          1, [this](TOLMTimer& current) {
            ++count;
            EXPECT_FALSE(current.isValid());
            if (count < 3) arm();
            EXPECT_EQ(std::any_cast<int>(current.userInfo()), 7);  // still readable
          },
          7, false);
    }
  } owner{&loop, nullptr};
  owner.arm();
  loop.advance(10);
  EXPECT_EQ(owner.count, 3);
  EXPECT_FALSE(owner.timer->isValid());
}

TEST_F(VirtualRunLoopTest, FireRunsTheActionNow) {
  auto once = schedule("once", 5);
  once->fire();
  EXPECT_EQ(fired, (std::vector<Fired>{{"once", 0}}));
  EXPECT_FALSE(once->isValid());
  once->fire();  // invalid: nothing runs

  auto every = schedule("every", 5, true);
  every->fire();
  EXPECT_TRUE(every->isValid());
  EXPECT_DOUBLE_EQ(every->fireDate(), kStart + 5);  // the schedule is kept
  loop.advance(5);
  EXPECT_EQ(fired, (std::vector<Fired>{{"once", 0}, {"every", 0}, {"every", 5}}));
}

TEST_F(VirtualRunLoopTest, FortyDayOneShotFiresAtExactlyItsDate) {
  const double forty = 40 * 86400.0;
  auto timer = schedule("forty", forty);
  loop.advance(forty - 0.001);
  EXPECT_TRUE(fired.empty());
  loop.advance(1);
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_EQ(fired[0].at, forty);
}

TEST_F(VirtualRunLoopTest, LateRepeatingTimerFiresOnceThenResumesItsSchedule) {
  auto every = schedule("every", 1, true);
  loop.advance(1);
  // A handler held the loop, or the machine slept: 9.5 seconds go by.
  loop.jumpClockTo(kStart + 10.5);
  loop.runPending();
  EXPECT_EQ(fired, (std::vector<Fired>{{"every", 1}, {"every", 10.5}}));
  EXPECT_DOUBLE_EQ(every->fireDate(), kStart + 11);
  loop.advance(1.5);
  EXPECT_EQ(fired, (std::vector<Fired>{{"every", 1}, {"every", 10.5}, {"every", 11}, {"every", 12}}));
}

TEST_F(VirtualRunLoopTest, UserInfoIsHandedToTheAction) {
  std::string seen;
  loop.scheduledTimerWithTimeInterval(
      1, [&](TOLMTimer& timer) { seen = std::any_cast<std::string>(timer.userInfo()); }, std::string("snooze"), false);
  auto none = schedule("none", 1);
  loop.advance(1);
  EXPECT_EQ(seen, "snooze");
  EXPECT_FALSE(none->userInfo().has_value());
}

TEST_F(VirtualRunLoopTest, NestedSchedulingCountsFromTheFiringInstant) {
  loop.scheduledTimerWithTimeInterval(
      2, [&](TOLMTimer&) {
        schedule("nested", 3);
        loop.performAfterDelay(1.0, [&] { fired.push_back({"delayed", loop.now() - kStart}); });
      },
      {}, false);
  loop.advance(10);
  EXPECT_EQ(fired, (std::vector<Fired>{{"delayed", 3}, {"nested", 5}}));
}

TEST_F(VirtualRunLoopTest, RunForInsideAnActionFiresOthersOnceAndTimeNeverGoesBack) {
  loop.scheduledTimerWithTimeInterval(
      1, [&](TOLMTimer&) {
        loop.runFor(2);  // waits without blocking other timers
        fired.push_back({"back", loop.now() - kStart});
      },
      {}, false);
  schedule("every", 1, true);  // due in the same pass; fired by the nested one
  schedule("during", 1.5);
  schedule("after", 4);
  loop.advance(2);
  EXPECT_EQ(fired, (std::vector<Fired>{{"every", 1}, {"during", 1.5}, {"every", 2}, {"every", 3}, {"back", 3}}));
  EXPECT_DOUBLE_EQ(loop.now(), kStart + 3);
  loop.advance(1);
  EXPECT_EQ(fired.back(), (Fired{"after", 4}));
}

TEST_F(VirtualRunLoopTest, ClockJumpPostsTheNotificationWithoutFiringOnTheWay) {
  std::vector<double> heard;
  auto token = center.addObserver(TOLMRunLoop::clockDidChangeNotification, nullptr, [&](const TOLMNotification& n) {
    EXPECT_EQ(n.object, static_cast<const TOLMRunLoop*>(&loop));
    heard.push_back(loop.now() - kStart);
  });
  schedule("missed", 60);
  loop.jumpClockTo(kStart + 3600);
  EXPECT_EQ(heard, std::vector<double>{3600});
  EXPECT_TRUE(fired.empty());
  loop.runPending();  // a passed wall-clock date fires at once, late
  EXPECT_EQ(fired, (std::vector<Fired>{{"missed", 3600}}));
}

TEST_F(VirtualRunLoopTest, BackwardClockStepDoesNotStallTimersBeyondTheirInterval) {
  auto every = schedule("every", 1, true);
  auto once = schedule("once", 10);
  loop.advance(0.5);
  loop.jumpClockTo(kStart - 3600);  // the clock is set back an hour
  loop.advance(1);
  EXPECT_EQ(fired, (std::vector<Fired>{{"every", -3599}}));
  loop.advance(9);
  EXPECT_EQ(fired.back(), (Fired{"once", -3590})) << "at most its own interval after the step";
}

TEST_F(VirtualRunLoopTest, InstallsItsClockForItsLifetime) {
  EXPECT_DOUBLE_EQ(TOLMClock::now(), kStart);
  loop.advance(42);
  EXPECT_DOUBLE_EQ(TOLMClock::now(), kStart + 42);
  {
    TOLMNotificationCenter other;
    auto* inner = new TOLMVirtualRunLoop(other, 5.0);
    EXPECT_DOUBLE_EQ(TOLMClock::now(), 5.0);
    delete inner;
  }
  EXPECT_GT(TOLMClock::now(), kStart) << "the system clock is back (it is later than 2023)";
}

TEST_F(VirtualRunLoopTest, TimersOutliveTheirLoopSafely) {
  std::shared_ptr<TOLMTimer> kept;
  {
    TOLMNotificationCenter other;
    TOLMVirtualRunLoop shortLived(other, kStart);
    kept = shortLived.scheduledTimerWithTimeInterval(1, [](TOLMTimer&) {}, {}, true);
  }
  EXPECT_FALSE(kept->isValid());
  kept->invalidate();
  kept->fire();
}

}  // namespace
