#include <QTextCursor>
#include <QTextEdit>
#include <QPushButton>
#include <QLineEdit>

#include "firing/TOLMFiringQueueFixture.h"
#include "firing/TOLMMessageWindow.h"

namespace {

using Names = std::vector<std::string>;

class FiringQueue : public TOLMFiringQueueFixture {};

TEST_F(FiringQueue, OneAlarmReplaysAfterItsPauseAndStopsAtItsExpiry) {
  queue->addAlarmToQueue(alarm("Wake up", song("a.wav"), 5, 5));
  EXPECT_EQ(player->playedFileNames(), Names{"a.wav"});

  advanceTo(30);
  player->endSong();
  // Seen by the next check (within a second), then the 5 s pause.
  advanceTo(35.9);
  EXPECT_EQ(player->played.size(), 1u);
  advanceTo(36);
  EXPECT_EQ(player->playedFileNames(), (Names{"a.wav", "a.wav"}));

  advanceTo(299.9);
  EXPECT_TRUE(player->isPlaying());
  advanceTo(300);
  EXPECT_FALSE(player->isPlaying());
  EXPECT_TRUE(queue->alarmQueue().empty());
  EXPECT_EQ(queue->currentAlarm(), nullptr);
  // Nothing is left ticking once the queue is empty.
  advanceTo(302);
  EXPECT_EQ(loop.scheduledTimerCount(), 0u);
}

TEST_F(FiringQueue, TwoFiringAlarmsTakeTurnsEachAfterThePauseOfTheOneThatEnded) {
  auto first = alarm("First", song("a.wav"), 5, 5);
  auto second = alarm("Second", song("b.wav"), 5, 10);
  queue->addAlarmToQueue(first);
  queue->addAlarmToQueue(second);
  EXPECT_EQ(player->playedFileNames(), Names{"a.wav"});
  EXPECT_EQ(queue->currentAlarm(), first);

  advanceTo(20);
  player->endSong();
  advanceTo(21);
  EXPECT_EQ(queue->currentAlarm(), second);  // its song starts after the first one's pause
  advanceTo(25.9);
  EXPECT_EQ(player->played.size(), 1u);
  advanceTo(26);
  EXPECT_EQ(player->playedFileNames(), (Names{"a.wav", "b.wav"}));

  advanceTo(40);
  player->endSong();
  advanceTo(50.9);
  EXPECT_EQ(player->played.size(), 2u);
  advanceTo(51);
  EXPECT_EQ(player->playedFileNames(), (Names{"a.wav", "b.wav", "a.wav"}));
}

TEST_F(FiringQueue, SnoozeStopsTheSongAndResumesItWhereItStopped) {
  store->setFloat("snoozeTime", 9);
  queue->addAlarmToQueue(alarm("Wake up", song("a.wav"), 30, 5));
  advanceTo(10);
  queue->snooze();
  EXPECT_FALSE(player->isPlaying());
  EXPECT_TRUE(queue->isSnoozed());

  // A second snooze while snoozed changes nothing.
  advanceTo(100);
  queue->snooze();
  advanceTo(10 + 9 * 60 - 0.1);
  EXPECT_FALSE(player->isPlaying());
  advanceTo(10 + 9 * 60);
  EXPECT_TRUE(player->isPlaying());
  EXPECT_EQ(player->resumes, 1);
  EXPECT_EQ(player->played.size(), 1u);  // resumed, not started again
  EXPECT_FALSE(queue->isSnoozed());
}

TEST_F(FiringQueue, SnoozeDuringThePauseBetweenSongsDoesNothing) {
  store->setFloat("snoozeTime", 9);
  queue->addAlarmToQueue(alarm("Wake up", song("a.wav"), 30, 5));
  advanceTo(20);
  player->endSong();
  advanceTo(22);
  queue->snooze();
  EXPECT_FALSE(queue->isSnoozed());
  advanceTo(26);
  EXPECT_EQ(player->played.size(), 2u);
}

struct RetimeCase {
  const char* name;
  int snoozeAfter;
  int preferenceChanges;
  double resumesAfterChange;  // seconds
};
void PrintTo(const RetimeCase& c, std::ostream* os) { *os << c.name; }

class SnoozeRetiming : public TOLMFiringQueueFixture, public ::testing::WithParamInterface<RetimeCase> {};

TEST_P(SnoozeRetiming, APreferenceChangeMovesTheEndOfTheSnoozeByTheChangeOfItsLength) {
  const RetimeCase& c = GetParam();
  store->setFloat("snoozeTime", 9);
  queue->addAlarmToQueue(alarm("Wake up", song("a.wav"), 60, 5));
  queue->snooze();
  advanceTo(9 * 60 - 200);  // 200 seconds left

  store->setFloat("snoozeTime", c.snoozeAfter);
  store->setFloat("musicVolume", 0.5);
  for (int i = 0; i < c.preferenceChanges; ++i) queue->applyPrefChanges();
  const double changedAt = elapsed();

  if (c.resumesAfterChange > 0) {
    advanceTo(changedAt + c.resumesAfterChange - 0.1);
    EXPECT_FALSE(player->isPlaying());
  }
  advanceTo(changedAt + c.resumesAfterChange);
  EXPECT_TRUE(player->isPlaying());
  EXPECT_EQ(player->resumes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SnoozeRetiming,
    ::testing::Values(RetimeCase{"UnchangedLengthKeepsTheEnd", 9, 1, 200},
                      RetimeCase{"ShorterLengthPastItsEndEndsAtOnce", 5, 1, 0},
                      RetimeCase{"LongerLengthAddsTheDifference", 10, 1, 260},
                      // Each later change must not count the first re-timing again.
                      RetimeCase{"RepeatedChangesDoNotDrift", 10, 3, 260}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FiringQueue, ExpiryOfTheCurrentAlarmLeavesTheOthersSilentUntilANewArrival) {
  auto shortOne = alarm("Short", song("a.wav"), 1, 5);
  auto waiting = alarm("Waiting", song("b.wav"), 10, 5);
  queue->addAlarmToQueue(shortOne);
  queue->addAlarmToQueue(waiting);

  advanceTo(60);
  EXPECT_FALSE(player->isPlaying());
  EXPECT_EQ(queue->currentAlarm(), nullptr);
  ASSERT_EQ(queue->alarmQueue().size(), 1u);
  advanceTo(240);
  EXPECT_EQ(player->playedFileNames(), Names{"a.wav"});

  queue->addAlarmToQueue(alarm("Newcomer", song("c.wav"), 10, 5));
  EXPECT_EQ(player->playedFileNames(), (Names{"a.wav", "c.wav"}));
  player->endSong();
  advanceTo(247);
  // The rotation takes in the alarm that waited.
  EXPECT_EQ(player->playedFileNames(), (Names{"a.wav", "c.wav", "b.wav"}));
}

TEST_F(FiringQueue, AnAlarmThatExpiresWhileSnoozedDoesNotComeBackAtTheEndOfTheSnooze) {
  store->setFloat("snoozeTime", 9);
  queue->addAlarmToQueue(alarm("Wake up", song("a.wav"), 1, 5));
  advanceTo(10);
  queue->snooze();
  advanceTo(60);
  EXPECT_TRUE(queue->alarmQueue().empty());
  advanceTo(10 * 60);
  EXPECT_FALSE(player->isPlaying());
  EXPECT_EQ(player->resumes, 0);
  EXPECT_EQ(loop.scheduledTimerCount(), 0u);
}

TEST_F(FiringQueue, AnExpiryOfZeroMinutesDropsTheAlarmAtTheNextPass) {
  queue->addAlarmToQueue(alarm("Now", song("a.wav"), 0, 5));
  EXPECT_EQ(queue->alarmQueue().size(), 1u);
  loop.runPending();
  EXPECT_TRUE(queue->alarmQueue().empty());
  EXPECT_FALSE(player->isPlaying());
}

TEST_F(FiringQueue, EnginesAreLoadedOnceAfterLaunchNotAtTheFirstRing) {
  EXPECT_EQ(player->prepared, 1);
  EXPECT_EQ(speaker->prepared, 1);
  queue->addAlarmToQueue(alarm("One", song("a.wav")));
  EXPECT_EQ(player->prepared, 1);
}

TEST_F(FiringQueue, StopSilencesEverythingButKeepsTheLog) {
  store->setFloat("snoozeTime", 9);
  store->setBool("linearVolumeEnabled", true);
  auto a = alarm("One", song("a.wav"), 5, 5);
  a->setAlarmMessage("Get up");
  queue->addAlarmToQueue(a);
  queue->addAlarmToQueue(alarm("Two", song("b.wav")));
  queue->snooze();

  queue->messageWindow().stopButton()->click();
  EXPECT_FALSE(player->isPlaying());
  EXPECT_TRUE(queue->alarmQueue().empty());
  EXPECT_EQ(queue->currentAlarm(), nullptr);
  EXPECT_FALSE(speaker->speaking);
  EXPECT_EQ(loop.scheduledTimerCount(), 0u);  // snooze, expiries, ramps, checker
  EXPECT_TRUE(logText().contains(QStringLiteral("Get up")));

  advanceTo(30 * 60);
  EXPECT_EQ(player->resumes, 0);
  queue->killAlarms();  // harmless when nothing fires
}

// A failed song must not keep the alarms behind it silent.
struct SilentFirst {
  const char* name;
  bool missingFile;
};
void PrintTo(const SilentFirst& c, std::ostream* os) { *os << c.name; }

class SilentFirstAlarm : public TOLMFiringQueueFixture, public ::testing::WithParamInterface<SilentFirst> {};

TEST_P(SilentFirstAlarm, HandsTheTurnToTheNextAlarm) {
  auto silent = alarm("Silent", GetParam().missingFile ? dir.filePath("gone.wav").toStdString() : "", 5, 0);
  silent->setAlarmMessage("Meeting");
  queue->addAlarmToQueue(silent);
  EXPECT_TRUE(player->played.empty());

  advanceTo(30);
  queue->addAlarmToQueue(alarm("Music", song("b.wav"), 5, 5));
  advanceTo(33);
  EXPECT_EQ(player->playedFileNames(), Names{"b.wav"});
  // The silent alarm still leaves on time.
  advanceTo(300);
  EXPECT_EQ(queue->alarmQueue().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, SilentFirstAlarm,
                         ::testing::Values(SilentFirst{"MissingFile", true}, SilentFirst{"NoMusicSource", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FiringQueue, ASongThatCannotBePlayedIsToldOnceInTheLog) {
  const std::string missing = dir.filePath("gone.wav").toStdString();
  queue->addAlarmToQueue(alarm("Wake up", missing, 5, 2));
  advanceTo(60);  // tried again at every turn
  const QString log = logText();
  EXPECT_EQ(log.count(QStringLiteral("cannot be played")), 1) << log.toStdString();
  EXPECT_TRUE(log.contains(QString::fromStdString(missing)));
  EXPECT_TRUE(log.contains(QStringLiteral("Wake up")));

  // A failure the player finds later is told too, and the rotation goes on.
  queue->killAlarms();
  queue->addAlarmToQueue(alarm("Broken", song("noise.wav"), 5, 1));
  player->failSong("not an audio file");
  advanceTo(elapsed() + 3);
  EXPECT_TRUE(logText().contains(QStringLiteral("not an audio file")));
  EXPECT_EQ(player->played.size(), 2u);
}

TEST_F(FiringQueue, MessagesAreLoggedInOrderAndOnlyTheMessageIsSpoken) {
  auto wake = alarm("Wake up", "");
  wake->setAlarmMessage("Time");
  queue->addAlarmToQueue(wake);

  EXPECT_EQ(logText(), QStringLiteral("Wake up (07/04/2005 7:30:00): Time\n"));
  EXPECT_EQ(queue->messageLog().selectedText(), QStringLiteral("Time"));
  EXPECT_EQ(speaker->said, Names{"Time"});
  EXPECT_TRUE(queue->messageWindow().isVisible());

  auto train = alarm("Train", "");
  train->setAlarmMessage("Leave now");
  queue->addAlarmToQueue(train);
  EXPECT_EQ(logText(), QStringLiteral("Wake up (07/04/2005 7:30:00): Time\nTrain (07/04/2005 7:30:00): Leave now\n"));
  EXPECT_EQ(queue->messageLog().selectedText(), QStringLiteral("Leave now"));
  EXPECT_EQ(speaker->said, (Names{"Time", "Leave now"}));
  EXPECT_EQ(speaker->cutOff, 1);  // the first was cut off

  // No message: no line and no speech, but the music plays.
  queue->addAlarmToQueue(alarm("Quiet", song("a.wav")));
  EXPECT_EQ(logText().count(QLatin1Char('\n')), 2);
  EXPECT_EQ(speaker->said.size(), 2u);

  queue->messageWindow().clearButton()->click();
  store->setBool("speaksAlarmMessages", false);
  auto later = alarm("Later", "");
  later->setAlarmMessage("Again");
  queue->addAlarmToQueue(later);
  EXPECT_EQ(logText(), QStringLiteral("Later (07/04/2005 7:30:00): Again\n"));
  EXPECT_EQ(speaker->said.size(), 2u);
}

TEST_F(FiringQueue, TheLogTakesTheMessageFontSizeAndColourAndFollowsTheirChange) {
  auto a = alarm("Wake up", "");
  a->setAlarmMessage("Time");
  queue->addAlarmToQueue(a);
  queue->showNotice("The alarms file cannot be read.");

  auto formatAt = [this](int position) {
    QTextCursor cursor(queue->messageWindow().alarmMessages()->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
  };
  const int noticeStart = static_cast<int>(logText().indexOf(QStringLiteral("The alarms")));
  for (int position : {0, noticeStart}) {
    EXPECT_EQ(formatAt(position).font().pointSize(), 12);
    EXPECT_TRUE(formatAt(position).font().bold());
    EXPECT_EQ(formatAt(position).foreground().color(), QColor(Qt::black));
  }

  store->setFloat("messageSize", 20);
  store->setString("messageFont", "Helvetica");
  queue->setUpMessages();
  for (int position : {0, noticeStart}) {
    EXPECT_EQ(formatAt(position).font().pointSize(), 20);
    EXPECT_FALSE(formatAt(position).font().bold());
  }
}

TEST_F(FiringQueue, AFailingSpeechEngineIsToldOnceAndTheAlarmGoesOn) {
  speaker->failure = "no speech engine is available";
  for (const char* message : {"One", "Two"}) {
    auto a = alarm("Wake up", song("a.wav"));
    a->setAlarmMessage(message);
    queue->addAlarmToQueue(a);
  }
  EXPECT_EQ(logText().count(QStringLiteral("cannot be spoken")), 1);
  EXPECT_TRUE(player->isPlaying());
}

TEST_F(FiringQueue, ShowNoticeAddsAPlainLineAndShowsTheWindow) {
  EXPECT_FALSE(queue->messageWindow().isVisible());
  queue->showNotice("The alarms file cannot be read.");
  EXPECT_EQ(logText(), QStringLiteral("The alarms file cannot be read.\n"));
  EXPECT_TRUE(queue->messageWindow().isVisible());
}

TEST_F(FiringQueue, CommandsRunOnlyWhenTheAlarmsSwitchIsOnAndEachListRunsOnItsOwn) {
  auto hanging = alarm("Backup", "");
  hanging->setScriptsArray({"sleep 100000", "echo after"});
  hanging->setShouldLaunchScripts(true);
  auto off = alarm("Off", "");
  off->setScriptsArray({"echo never"});
  auto other = alarm("Other", "");
  other->setScriptsArray({"echo other"});
  other->setShouldLaunchScripts(true);

  queue->addAlarmToQueue(hanging);
  queue->addAlarmToQueue(off);
  queue->addAlarmToQueue(other);
  EXPECT_EQ(runner->started(), (Names{"sleep 100000", "echo other"}));

  runner->finish(1, TOLMStatus::failure("exit status 2"));
  EXPECT_TRUE(logText().contains(QStringLiteral("\"echo other\" failed: exit status 2")));
  runner->finish(0);
  EXPECT_EQ(runner->started(), (Names{"sleep 100000", "echo other", "echo after"}));
}

TEST_F(FiringQueue, EveryArrivalRaisesTheSystemVolumeWhenTheOverrideIsOn) {
  queue->addAlarmToQueue(alarm("One", song("a.wav")));
  EXPECT_EQ(systemVolume->raises, 0);

  store->setBool("volumeOverridesSystemVolume", true);
  queue->addAlarmToQueue(alarm("Two", song("b.wav")));
  systemVolume->outcome = TOLMStatus::failure("no mixer");
  queue->addAlarmToQueue(alarm("Three", song("b.wav")));
  queue->addAlarmToQueue(alarm("Four", song("b.wav")));
  EXPECT_EQ(systemVolume->raises, 3);  // also while music plays
  EXPECT_EQ(logText().count(QStringLiteral("system volume cannot be raised")), 1);
}

TEST_F(FiringQueue, TheWindowShowsTheVolumeAsAWholePercentageAndTheSpeed) {
  store->setFloat("musicVolume", 0.29f);
  store->setFloat("musicSpeed", 1.5);
  queue->applyPrefChanges();
  EXPECT_EQ(queue->messageWindow().volPercent()->text(), QStringLiteral("29"));
  EXPECT_EQ(queue->messageWindow().speedPercent()->text(), QStringLiteral("1.5"));
  EXPECT_FLOAT_EQ(player->volume(), 0.29f);
  EXPECT_FLOAT_EQ(player->rate(), 1.5f);
}

}  // namespace
