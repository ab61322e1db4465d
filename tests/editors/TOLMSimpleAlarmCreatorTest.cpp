#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "alarms/TOLMAlarm.h"
#include "alarms/TOLMAlarmSheetRequestor.h"
#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMArchiver.h"
#include "dates/TOLMDate.h"
#include "editors/TOLMSimpleAlarmCreator.h"
#include "editors/TOLMSimpleAlarmSheet.h"

namespace {

TOLMDate at(int year, int month, int day, int hour, int minute, int second) {
  const std::int32_t fields[6] = {year, month, day, hour, minute, second};
  return TOLMDate::initWithIntArray(fields);
}

std::vector<int> daysOf(const TOLMAlarm& alarm) { return {alarm.days(), alarm.days() + 7}; }
std::vector<int> monthsOf(const TOLMAlarm& alarm) { return {alarm.months(), alarm.months() + 12}; }
std::vector<std::uint8_t> archived(const std::shared_ptr<TOLMAlarm>& alarm) {
  return TOLMArchiver::archivedDataWithRootObject(TOLMArchiveObject::record(alarm));
}

class RecordingRequestor : public TOLMAlarmSheetRequestor {
 public:
  struct Ending {
    int returnCode;
    std::shared_ptr<TOLMAlarm> context;
  };
  void alarmSheetDidEnd_returnCode_contextInfo(QWidget*, int returnCode,
                                              const std::shared_ptr<TOLMAlarm>& contextInfo) override {
    endings.push_back({returnCode, contextInfo});
  }
  std::vector<Ending> endings;
};

class SimpleEditorTest : public ::testing::Test {
 protected:
  QWidget window;
  TOLMSimpleAlarmCreator creator{&window};
  RecordingRequestor requestor;
  TOLMSimpleAlarmSheet& sheet = creator.sheet();

  SimpleEditorTest() { window.show(); }
};

TEST_F(SimpleEditorTest, ANewAlarmShowsTheRecordDefaultsAndSavesTheWeekdayMapping) {
  creator.makeNewAlarmForRequestor(&requestor);
  ASSERT_TRUE(sheet.isVisible());
  EXPECT_EQ(sheet.windowModality(), Qt::WindowModal);
  EXPECT_EQ(sheet.parentWidget(), &window);
  EXPECT_EQ(sheet.timeOfDay->text(), "08:00:00");
  EXPECT_TRUE(sheet.alarmIsEnabled->isChecked());
  EXPECT_EQ(sheet.alarmExpirationTime->text(), "5");

  for (int day = 1; day <= 5; ++day) sheet.days[day]->setChecked(true);
  sheet.timeOfDay->setText("06:45:00");
  sheet.name->setText("work");
  creator.saveAlarm();

  EXPECT_FALSE(sheet.isVisible());
  ASSERT_EQ(requestor.endings.size(), 1u);
  EXPECT_EQ(requestor.endings[0].returnCode, 1);
  EXPECT_EQ(requestor.endings[0].context, nullptr);
  const auto alarm = creator.getAlarmData();
  EXPECT_EQ(alarm, creator.currentAlarm());
  EXPECT_EQ(daysOf(*alarm), (std::vector<int>{0, 1, 1, 1, 1, 1, 0}));
  EXPECT_EQ(monthsOf(*alarm), std::vector<int>(12, 1));
  ASSERT_EQ(alarm->setTimes().size(), 1u);
  EXPECT_EQ(alarm->setTimes()[0].timeString(), "6:45:00");
  EXPECT_EQ(alarm->alarmName(), "work");
}

TEST_F(SimpleEditorTest, SavingAnAdvancedAlarmKeepsWhatTheSheetDoesNotShow) {
  auto alarm = std::make_shared<TOLMAlarm>();
  std::int32_t june[12] = {};
  june[5] = 1;
  alarm->setMonths(june);
  alarm->setSetTimes({at(2026, 1, 1, 6, 0, 0), at(2026, 1, 1, 7, 0, 0), at(2026, 1, 1, 8, 0, 0)});
  alarm->setSpecificFireDates({at(2026, 7, 4, 9, 0, 0)});
  alarm->setScriptsArray({"echo hello"});
  alarm->setShouldLaunchScripts(true);
  alarm->setMultipleFireEnabled(true);
  alarm->setReferenceDate(at(2026, 1, 1, 6, 0, 0));
  const std::int32_t interval[6] = {0, 0, 2, 0, 0, 0};
  alarm->setIntervalDate(TOLMDate::initWithIntArray(interval));
  alarm->setSecondsBetweenSongs(12);
  alarm->setFireAfterEnabled(true);

  creator.editAlarm_requestor(alarm, &requestor);
  EXPECT_EQ(sheet.timeOfDay->text(), "6:00:00");
  creator.saveAlarm();
  ASSERT_EQ(requestor.endings.size(), 1u);
  EXPECT_EQ(requestor.endings[0].context, alarm);

  EXPECT_EQ(creator.getAlarmData(), alarm);
  ASSERT_EQ(alarm->setTimes().size(), 1u);
  EXPECT_EQ(alarm->setTimes()[0].timeString(), "6:00:00");
  EXPECT_EQ(monthsOf(*alarm), std::vector<int>(12, 1));
  ASSERT_EQ(alarm->specificFireDates().size(), 1u);
  EXPECT_TRUE(alarm->specificFireDates()[0].isEqualTo(at(2026, 7, 4, 9, 0, 0)));
  EXPECT_EQ(alarm->scriptsArray(), (std::vector<std::string>{"echo hello"}));
  EXPECT_TRUE(alarm->launchingScriptsIsEnabled());
  EXPECT_TRUE(alarm->multipleFireEnabled());
  EXPECT_TRUE(alarm->intervalDate().isEqualTo(TOLMDate::initWithIntArray(interval)));
  EXPECT_EQ(alarm->secondsBetweenSongs(), 12);
  EXPECT_TRUE(alarm->fireAfterIsEnabled());
}

TEST_F(SimpleEditorTest, ATimeThatCannotBeReadKeepsTheSheetOpenAndSaysWhy) {
  auto alarm = std::make_shared<TOLMAlarm>();
  alarm->setSetTimes({at(2026, 1, 1, 6, 0, 0)});
  const auto before = archived(alarm);
  creator.editAlarm_requestor(alarm, &requestor);

  for (const char* text : {"", "   ", "half past breakfast"}) {
    SCOPED_TRACE(text);
    sheet.timeOfDay->setText(text);
    creator.saveAlarm();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_TRUE(sheet.problem->isVisibleTo(&sheet));
    EXPECT_FALSE(sheet.problem->text().isEmpty());
    EXPECT_TRUE(requestor.endings.empty());
    EXPECT_EQ(archived(alarm), before);
  }

  sheet.timeOfDay->setText("7:15:00");
  creator.saveAlarm();
  EXPECT_FALSE(sheet.isVisible());
  ASSERT_EQ(requestor.endings.size(), 1u);
  EXPECT_EQ(requestor.endings[0].returnCode, 1);
  EXPECT_EQ(creator.getAlarmData()->setTimes()[0].timeString(), "7:15:00");
}

TEST_F(SimpleEditorTest, CancelAndEscapeLeaveTheRecordAsItWas) {
  auto alarm = std::make_shared<TOLMAlarm>();
  alarm->setAlarmName("untouched");
  const auto before = archived(alarm);

  for (const bool escape : {false, true}) {
    creator.editAlarm_requestor(alarm, &requestor);
    sheet.name->setText("changed");
    sheet.days[3]->setChecked(true);
    sheet.musicSelector[2]->setChecked(true);
    if (escape) {
      sheet.reject();
    } else {
      creator.cancelAlarm();
    }
    EXPECT_FALSE(sheet.isVisible());
  }
  ASSERT_EQ(requestor.endings.size(), 2u);
  for (const auto& ending : requestor.endings) {
    EXPECT_EQ(ending.returnCode, 0);
    EXPECT_EQ(ending.context, alarm);
  }
  EXPECT_EQ(archived(alarm), before);
}

TEST_F(SimpleEditorTest, TheExpiryFieldReadsItsLeadingWholeNumber) {
  const struct {
    const char* text;
    int minutes;
  } cases[] = {{"15", 15}, {"xyz", 0}, {" 7 minutes", 7}, {"", 0}, {"-2", -2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    creator.makeNewAlarmForRequestor(&requestor);
    sheet.alarmExpirationTime->setText(c.text);
    creator.saveAlarm();
    EXPECT_EQ(creator.getAlarmData()->minutesTillMusicExpires(), c.minutes);
  }
}

TEST_F(SimpleEditorTest, OneMusicSourceAtATimeAndEachPanelFillsItsOwnCell) {
  std::vector<TOLMOpenPanel::Request> asked;
  std::optional<QString> answer;
  creator.setOpenPanel([&](QWidget*, const TOLMOpenPanel::Request& request) {
    asked.push_back(request);
    return answer;
  });
  creator.makeNewAlarmForRequestor(&requestor);

  answer = "/music/song.mp3";
  creator.findSingleMusicFile();
  answer = "/music";
  creator.findMusicFolder();
  answer = "/music/Library.xml";
  creator.findXMLFile();
  answer.reset();  // cancelled: the cell keeps its text
  creator.findSingleMusicFile();

  ASSERT_EQ(asked.size(), 4u);
  EXPECT_FALSE(asked[0].chooseDirectories);
  EXPECT_TRUE(asked[0].fileTypes.contains("mp3"));
  EXPECT_TRUE(asked[1].chooseDirectories);
  EXPECT_EQ(asked[2].fileTypes, QStringList{"xml"});
  EXPECT_EQ(sheet.musicSelection[0]->text(), "/music/song.mp3");
  EXPECT_EQ(sheet.musicSelection[1]->text(), "/music");
  EXPECT_EQ(sheet.musicSelection[2]->text(), "");
  EXPECT_EQ(sheet.musicSelection[3]->text(), "/music/Library.xml");

  sheet.musicSelector[0]->setChecked(true);
  sheet.musicSelector[3]->setChecked(true);
  EXPECT_FALSE(sheet.musicSelector[0]->isChecked());
  creator.saveAlarm();
  const auto alarm = creator.getAlarmData();
  EXPECT_TRUE(alarm->xmlSongIsEnabled());
  EXPECT_FALSE(alarm->manualSongIsEnabled());
  EXPECT_FALSE(alarm->randomSongIsEnabled());
  EXPECT_FALSE(alarm->urlSongIsEnabled());
  EXPECT_EQ(alarm->manualSongLocation(), "/music/song.mp3");
  EXPECT_EQ(alarm->randomSongLocation(), "/music");
  EXPECT_EQ(alarm->xmlSongLocation(), "/music/Library.xml");
}

}  // namespace
