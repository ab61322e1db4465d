#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMQtRunLoop.h"

namespace {

class QtRunLoopTest : public ::testing::Test {
 protected:
  QtRunLoopTest() {
    token = center.addObserver(TOLMRunLoop::clockDidChangeNotification, nullptr,
                               [this](const TOLMNotification&) { events.push_back("clock changed"); });
  }

  TOLMNotificationCenter center;
  TOLMQtRunLoop loop{center};
  std::vector<std::string> events;
  TOLMObserverToken token;
};

TEST_F(QtRunLoopTest, OneShotFiresNoEarlierThanItsDateAndPromptly) {
  double firedAt = 0;
  auto timer = loop.scheduledTimerWithTimeInterval(1.5, [&](TOLMTimer&) { firedAt = loop.now(); }, {}, false);
  const double due = timer->fireDate();
  // Beyond Qt's 24.8-day timer limit: must neither fire early nor spoil the arming.
  bool longFired = false;
  auto longTimer = loop.scheduledTimerWithTimeInterval(40 * 86400.0, [&](TOLMTimer&) { longFired = true; }, {}, false);

  ASSERT_TRUE(QTest::qWaitFor([&] { return firedAt > 0; }, 5000));
  EXPECT_GE(firedAt, due);
  EXPECT_LT(firedAt - due, 0.1);
  EXPECT_FALSE(longFired);
  EXPECT_TRUE(longTimer->isValid());
  longTimer->invalidate();
}

TEST_F(QtRunLoopTest, ZeroIntervalTimerFiresAfterTheHandlerThatArmedIt) {
  // From a timer's action and from an ordinary queued event handler.
  bool inHandler = false;
  std::vector<bool> firedInsideHandler;
  const auto arm = [&] {
    inHandler = true;
    loop.scheduledTimerWithTimeInterval(0, [&](TOLMTimer&) { firedInsideHandler.push_back(inHandler); }, {}, false);
    inHandler = false;
  };
  loop.scheduledTimerWithTimeInterval(0.01, [&](TOLMTimer&) { arm(); }, {}, false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return firedInsideHandler.size() == 1; }, 2000));
  QMetaObject::invokeMethod(&loop, [&] { arm(); }, Qt::QueuedConnection);
  ASSERT_TRUE(QTest::qWaitFor([&] { return firedInsideHandler.size() == 2; }, 2000));
  EXPECT_EQ(firedInsideHandler, (std::vector<bool>{false, false}));
}

TEST_F(QtRunLoopTest, RunForWaitsWhileOtherTimersFire) {
  bool during = false;
  double returnedAfter = 0;
  loop.scheduledTimerWithTimeInterval(
      0.01, [&](TOLMTimer&) {
        const double start = loop.now();
        loop.runFor(0.3);  // called from a timer action: timers must still fire inside
        returnedAfter = loop.now() - start;
      },
      {}, false);
  loop.scheduledTimerWithTimeInterval(0.1, [&](TOLMTimer&) { during = true; }, {}, false);
  ASSERT_TRUE(QTest::qWaitFor([&] { return returnedAfter > 0; }, 3000));
  EXPECT_TRUE(during);
  EXPECT_GE(returnedAfter, 0.3);
  EXPECT_LT(returnedAfter, 0.5);
}

TEST_F(QtRunLoopTest, ThrowingActionDoesNotStopTheOtherTimers) {
  bool after = false;
  loop.scheduledTimerWithTimeInterval(0.01, [](TOLMTimer&) { throw std::runtime_error("deliberate"); }, {}, false);
  loop.scheduledTimerWithTimeInterval(0.01, [&](TOLMTimer&) { after = true; }, {}, false);
  EXPECT_TRUE(QTest::qWaitFor([&] { return after; }, 2000));
}

TEST_F(QtRunLoopTest, ReportsAResumeSeenAsTheWallClockRunningAheadOfTheMonotonicOne) {
  double offset = 1000.0;
  loop.setClockOffsetSource([&] { return offset; });
  bool fired = false;
  const auto waitForTimer = [&] {
    fired = false;
    loop.scheduledTimerWithTimeInterval(0.01, [&](TOLMTimer&) {
      events.push_back("timer");
      fired = true;
    }, {}, false);
    return QTest::qWaitFor([&] { return fired; }, 2000);
  };

  offset += 0.4;  // NTP slewing: within the tolerance
  ASSERT_TRUE(waitForTimer());
  offset += 30 * 60;  // half an hour asleep
  ASSERT_TRUE(waitForTimer());
  ASSERT_TRUE(waitForTimer());  // reported once, not at every wake
  // Owners re-arm before any timer the change made due.
  EXPECT_EQ(events, (std::vector<std::string>{"timer", "clock changed", "timer", "timer"}));
}

class TimeZoneWatchTest : public QtRunLoopTest {
 protected:
  TimeZoneWatchTest() : zone(dir.filePath("localtime")) {
    write(zone, "Europe/Berlin");
    loop.watchTimeZoneFile(zone);
  }
  static void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
  }
  bool heardChanges(std::size_t count) {
    return QTest::qWaitFor([&] { return events.size() >= count; }, 3000) && events.size() == count;
  }

  QTemporaryDir dir;
  QString zone;
};

TEST_F(TimeZoneWatchTest, RewritingOrReplacingTheZoneFilePostsTheNotification) {
  write(zone, "America/New_York");  // rewritten in place
  EXPECT_TRUE(heardChanges(1));

  // Replaced by a rename, as package managers and timedated do; the watch must follow.
  for (std::size_t round = 2; round <= 3; ++round) {
    const QString fresh = dir.filePath("localtime.new");
    write(fresh, QByteArray("zone ") + QByteArray::number(static_cast<int>(round)));
    ASSERT_EQ(std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(zone).constData()), 0);
    EXPECT_TRUE(heardChanges(round)) << "round " << round;
  }

  write(dir.filePath("unrelated"), "x");  // another file in the folder
  QTest::qWait(200);
  EXPECT_EQ(events.size(), 3u);
}

TEST_F(TimeZoneWatchTest, SwappingASymbolicLinkPostsTheNotification) {
  write(dir.filePath("Berlin"), "Berlin");
  write(dir.filePath("Tokyo"), "Tokyo");
  QFile::remove(zone);
  ASSERT_TRUE(QFile::link(dir.filePath("Berlin"), zone));
  loop.watchTimeZoneFile(zone);

  // Like timedatectl: a new link renamed over the old one; its target never changes.
  ASSERT_TRUE(QFile::link(dir.filePath("Tokyo"), dir.filePath("link.new")));
  ASSERT_EQ(std::rename(QFile::encodeName(dir.filePath("link.new")).constData(), QFile::encodeName(zone).constData()),
            0);
  EXPECT_TRUE(heardChanges(1));
}

struct StepCase {
  const char* label;
  std::vector<double> offsets;  // the first is the reference
  std::vector<bool> expected;   // one per later offset
};

TEST(ClockStepDetectorTest, ReportsMovesBeyondTheToleranceOnce) {
  const std::vector<StepCase> cases = {
      {"steady", {5, 5, 5}, {false, false}},
      {"slewing stays within the tolerance", {5, 5.4, 5.8, 6.2, 6.6}, {false, false, false, false}},
      {"resume after a sleep", {5, 5, 605, 605}, {false, true, false}},
      {"clock set back", {5, 3.5}, {true}},
      {"just within", {5, 5.9}, {false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    std::size_t next = 0;
    TOLMClockStepDetector detector([&] { return c.offsets[next]; }, 1.0);
    std::vector<bool> seen;
    for (next = 1; next < c.offsets.size(); ++next) seen.push_back(detector.check());
    EXPECT_EQ(seen, c.expected);
  }
}

TEST(ClockStepDetectorTest, SystemOffsetIsStable) {
  TOLMClockStepDetector detector;
  EXPECT_FALSE(detector.check());
}

}  // namespace
