#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMainWindow>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "alarms/TOLMAlarm.h"
#include "alarms/TOLMAlarmEditor.h"
#include "alarms/TOLMAlarmSheetRequestor.h"
#include "alarms/TOLMAlarmsController.h"
#include "alarms/TOLMAlarmsWindow.h"
#include "archive/TOLMArchiveObject.h"
#include "archive/TOLMArchiver.h"
#include "dates/TOLMDate.h"
#include "dates/TOLMZoneScope.h"
#include "editors/TOLMSimpleAlarmCreator.h"
#include "editors/TOLMSimpleAlarmSheet.h"
#include "platform/TOLMArchiveFile.h"
#include "platform/TOLMDefaultsStore.h"
#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMTableDataSourceModel.h"
#include "platform/TOLMVirtualRunLoop.h"
#include "preferences/TOLMPreferenceController.h"
#include "support/TOLMTemporaryHome.h"

namespace fs = std::filesystem;

namespace {

// The instant of a local wall-clock time in the current zone.
double localInstant(int year, int month, int day, int hour, int minute, int second) {
  const std::int32_t fields[6] = {year, month, day, hour, minute, second};
  return TOLMDate::initWithIntArray(fields).getDate();
}

// 2026-03-02 is a Monday.
double march(int day, int hour, int minute = 0, int second = 0) {
  return localInstant(2026, 3, day, hour, minute, second);
}

TOLMDate timeOfDay(int hour, int minute, int second) {
  const std::int32_t fields[6] = {2026, 1, 1, hour, minute, second};
  return TOLMDate::initWithIntArray(fields);
}

std::shared_ptr<TOLMAlarm> dailyAlarm(const std::string& name, int hour, int minute, int second = 0) {
  auto alarm = std::make_shared<TOLMAlarm>();
  alarm->setAlarmName(name);
  const std::int32_t months[12] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  const std::int32_t days[7] = {1, 1, 1, 1, 1, 1, 1};
  alarm->setMonths(months);
  alarm->setDays(days);
  alarm->setSetTimes({timeOfDay(hour, minute, second)});
  return alarm;
}

std::shared_ptr<TOLMAlarm> periodicAlarm(const std::string& name, double reference, int everyMinutes) {
  auto alarm = std::make_shared<TOLMAlarm>();
  alarm->setAlarmName(name);
  alarm->setMultipleFireEnabled(true);
  alarm->setReferenceDate(TOLMDate::initWithCalendarDate(reference));
  const std::int32_t interval[6] = {0, 0, 0, 0, everyMinutes, 0};
  alarm->setIntervalDate(TOLMDate::initWithIntArray(interval));
  return alarm;
}

std::vector<std::uint8_t> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TOLMArchiveObject alarmList(const std::vector<std::shared_ptr<TOLMAlarm>>& alarms) {
  TOLMArchiveList list;
  for (const auto& alarm : alarms) list.push_back(TOLMArchiveObject::record(alarm));
  return TOLMArchiveObject::list(std::move(list));
}

// The names stored in an alarms file, in order.
std::vector<std::string> namesInFile(const fs::path& path) {
  const auto read = TOLMArchiveFile::unarchiveObjectWithFile(path.string());
  EXPECT_TRUE(read.ok()) << read.error();
  std::vector<std::string> names;
  if (!read.ok() || !read.value().listValue()) return names;
  for (const auto& element : *read.value().listValue()) {
    const auto alarm = element.recordAs<TOLMAlarm>();
    names.push_back(alarm ? alarm->alarmName() : std::string("<not an alarm>"));
  }
  return names;
}

struct Delivery {
  std::string name;
  std::string at;  // the local time it reached the queue
};

bool operator==(const Delivery& a, const Delivery& b) { return a.name == b.name && a.at == b.at; }

void PrintTo(const Delivery& delivery, std::ostream* os) { *os << delivery.name << " at " << delivery.at; }

class AlarmWindowTest : public ::testing::Test {
 protected:
  explicit AlarmWindowTest(const char* zone = "America/New_York", double start = 0) : zone_(zone) {
    loop_ = std::make_unique<TOLMVirtualRunLoop>(center, start != 0 ? start : march(2, 6));
    store = std::make_unique<TOLMDefaultsStore>(home.path() + "/Library/Preferences/Vekkaro.plist", nullptr);
    store->setBool("simpleAlarmsEnabled", true);
    prefs = std::make_unique<TOLMPreferenceController>(*store, *loop_, center);
  }

  ~AlarmWindowTest() override {
    editor.reset();
    controller.reset();
  }

  TOLMVirtualRunLoop& loop() { return *loop_; }
  fs::path dataDirectory() const { return fs::path(home.path()) / "Library/Preferences/Vekkaro"; }
  fs::path alarmsFile() const { return dataDirectory() / "alarms"; }

  void writeAlarmsFile(const std::vector<std::shared_ptr<TOLMAlarm>>& alarms) {
    fs::create_directories(dataDirectory());
    ASSERT_TRUE(TOLMArchiveFile::archiveRootObject_toFile(alarmList(alarms), alarmsFile().string()));
  }

  void construct() {
    controller = std::make_unique<TOLMAlarmsController>(
        *prefs, loop(), center, dataDirectory().string(),
        [this](std::shared_ptr<TOLMAlarm> alarm) {
          delivered.push_back({alarm->alarmName(), TOLMDate::init().convertToString()});
        },
        [this](const std::string& line) { notices.push_back(line); });
    editor = std::make_unique<TOLMSimpleAlarmCreator>(controller->alarmsWindow());
    controller->setSimpleAlarmControl(editor.get());
  }

  void launch() {
    construct();
    center.postNotificationName(NSApplicationDidFinishLaunchingNotification);
  }

  void advanceTo(double instant) { loop().advance(instant - loop().now()); }

  std::string title() const { return controller->alarmsWindow()->windowTitle().toStdString(); }
  std::string cell(int row, const char* identifier) const {
    auto* model = controller->window().tableModel();
    return model->data(model->index(row, model->columnForIdentifier(identifier))).toString().toStdString();
  }
  void select(int row) { controller->window().selectRow(row); }

  // Fills the open simple sheet and saves it.
  void saveSheet(const std::string& name, const std::string& time) {
    TOLMSimpleAlarmSheet& sheet = editor->sheet();
    ASSERT_TRUE(sheet.isVisible());
    sheet.name->setText(QString::fromStdString(name));
    sheet.timeOfDay->setText(QString::fromStdString(time));
    for (QCheckBox* day : sheet.days) day->setChecked(true);
    editor->saveAlarm();
  }

  TOLMZoneScope zone_;
  TOLMTemporaryHome home;
  TOLMNotificationCenter center;
  std::unique_ptr<TOLMVirtualRunLoop> loop_;
  std::unique_ptr<TOLMDefaultsStore> store;
  std::unique_ptr<TOLMPreferenceController> prefs;
  std::vector<Delivery> delivered;
  std::vector<std::string> notices;
  std::unique_ptr<TOLMAlarmsController> controller;
  std::unique_ptr<TOLMSimpleAlarmCreator> editor;
};

TEST_F(AlarmWindowTest, AlarmsSharingAFireTimeAllReachTheQueueInListOrderFromOneTimer) {
  writeAlarmsFile({dailyAlarm("first", 7, 0), dailyAlarm("later", 8, 0), dailyAlarm("second", 7, 0)});
  launch();

  EXPECT_EQ(title(), "Next Alarm Date: 03/02/2026 7:00:00");
  EXPECT_EQ(controller->alarmsQueue().size(), 1u);
  EXPECT_EQ(loop().scheduledTimerCount(), 1u);
  EXPECT_EQ(cell(1, "0"), "later");
  EXPECT_EQ(cell(1, "1"), "03/02/2026 8:00:00");

  advanceTo(march(2, 7, 59, 59));
  EXPECT_EQ(delivered, (std::vector<Delivery>{{"first", "03/02/2026 7:00:00"}, {"second", "03/02/2026 7:00:00"}}));
}

TEST_F(AlarmWindowTest, AnAlarmDueAtStartUpRingsOnceTheLoopRunsNotDuringSetUp) {
  writeAlarmsFile({dailyAlarm("now", 6, 0)});
  launch();
  EXPECT_TRUE(delivered.empty());
  loop().runPending();
  EXPECT_EQ(delivered, (std::vector<Delivery>{{"now", "03/02/2026 6:00:00"}}));
}

TEST_F(AlarmWindowTest, OneSecondAfterAFireTheNextDayIsArmedAndShown) {
  writeAlarmsFile({dailyAlarm("wake", 7, 0)});
  launch();
  advanceTo(march(2, 7));
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_EQ(title(), "Next Alarm Date: 03/02/2026 7:00:00");  // until the re-arm

  loop().advance(1.0);
  EXPECT_EQ(title(), "Next Alarm Date: 03/03/2026 7:00:00");
  EXPECT_EQ(cell(0, "1"), "03/03/2026 7:00:00");

  advanceTo(march(3, 7, 0, 30));
  EXPECT_EQ(delivered, (std::vector<Delivery>{{"wake", "03/02/2026 7:00:00"}, {"wake", "03/03/2026 7:00:00"}}));
}

TEST_F(AlarmWindowTest, AChangeInTheSecondAfterAFireDoesNotRingThatFireAgain) {
  writeAlarmsFile({dailyAlarm("wake", 7, 0), dailyAlarm("other", 9, 0)});
  launch();
  advanceTo(march(2, 7, 0, 0));
  ASSERT_EQ(delivered.size(), 1u);

  // Still 07:00:00 to the second: a search from now finds the same fire again.
  loop().advance(0.5);
  select(1);
  controller->removeAlarm();
  advanceTo(march(2, 7, 1));
  EXPECT_EQ(delivered, (std::vector<Delivery>{{"wake", "03/02/2026 7:00:00"}}));
  EXPECT_EQ(title(), "Next Alarm Date: 03/03/2026 7:00:00");
}

TEST_F(AlarmWindowTest, ASingleFireWhoseReferenceLiesAheadRingsOneIntervalAfterIt) {
  auto once = periodicAlarm("tea", march(2, 8), 10);
  once->setMultipleFireEnabled(false);
  once->setSingleFireEnabled(true);
  writeAlarmsFile({once});
  launch();
  // Nothing is due while the reference lies ahead, yet the list looks again after it.
  EXPECT_EQ(title(), "Next Alarm Date: Never");

  advanceTo(march(2, 8, 0, 1));
  EXPECT_EQ(title(), "Next Alarm Date: 03/02/2026 8:10:00");
  advanceTo(march(4, 8));
  EXPECT_EQ(delivered, (std::vector<Delivery>{{"tea", "03/02/2026 8:10:00"}}));
  EXPECT_EQ(title(), "Next Alarm Date: Never");
}

TEST_F(AlarmWindowTest, AnEmptyListSaysNeverAndWritesNothing) {
  launch();
  EXPECT_EQ(title(), "Next Alarm Date: Never");
  EXPECT_EQ(loop().scheduledTimerCount(), 0u);
  EXPECT_FALSE(fs::exists(alarmsFile()));
  EXPECT_TRUE(notices.empty());
}

TEST_F(AlarmWindowTest, RemoveAndCloneRewriteTheFileAndReschedule) {
  writeAlarmsFile({dailyAlarm("early", 7, 0), dailyAlarm("late", 8, 0)});
  launch();

  // Nothing selected: nothing happens.
  controller->removeAlarm();
  controller->cloneAlarm();
  EXPECT_EQ(namesInFile(alarmsFile()), (std::vector<std::string>{"early", "late"}));

  // Removing the alarm whose timer is pending arms the next one.
  select(0);
  controller->removeAlarm();
  EXPECT_EQ(namesInFile(alarmsFile()), (std::vector<std::string>{"late"}));
  EXPECT_EQ(title(), "Next Alarm Date: 03/02/2026 8:00:00");

  select(0);
  controller->cloneAlarm();
  EXPECT_EQ(namesInFile(alarmsFile()), (std::vector<std::string>{"late", "late"}));
  const auto& alarms = controller->dataSource().alarms();
  ASSERT_EQ(alarms.size(), 2u);
  EXPECT_NE(alarms[0], alarms[1]);
  EXPECT_EQ(cell(1, "1"), "03/02/2026 8:00:00");

  advanceTo(march(2, 9));
  EXPECT_EQ(delivered, (std::vector<Delivery>{{"late", "03/02/2026 8:00:00"}, {"late", "03/02/2026 8:00:00"}}));
}

TEST_F(AlarmWindowTest, TheSimpleSheetAddsAndEditsAlarmsInPlace) {
  launch();
  controller->newAlarm();
  ASSERT_TRUE(editor->sheet().isVisible());
  EXPECT_EQ(editor->sheet().windowModality(), Qt::WindowModal);
  EXPECT_EQ(editor->sheet().parentWidget(), controller->alarmsWindow());
  saveSheet("tea", "06:45:00");

  EXPECT_FALSE(editor->sheet().isVisible());
  EXPECT_EQ(namesInFile(alarmsFile()), (std::vector<std::string>{"tea"}));
  EXPECT_EQ(title(), "Next Alarm Date: 03/02/2026 6:45:00");

  controller->newAlarm();
  saveSheet("lunch", "12:00:00");
  const auto edited = controller->dataSource().alarms()[0];

  // Edit the first row: the same record stays at its position.
  select(0);
  controller->editAlarm();
  ASSERT_TRUE(editor->sheet().isVisible());
  EXPECT_EQ(editor->sheet().timeOfDay->text().toStdString(), "6:45:00");
  saveSheet("coffee", "06:30:00");
  EXPECT_EQ(controller->dataSource().alarms()[0], edited);
  EXPECT_EQ(namesInFile(alarmsFile()), (std::vector<std::string>{"coffee", "lunch"}));
  EXPECT_EQ(title(), "Next Alarm Date: 03/02/2026 6:30:00");

  // Cancel changes nothing, not even the file.
  const auto before = readBytes(alarmsFile());
  select(1);
  controller->editAlarm();
  editor->sheet().name->setText("changed");
  editor->cancelAlarm();
  EXPECT_EQ(readBytes(alarmsFile()), before);
  EXPECT_EQ(controller->dataSource().alarms()[1]->alarmName(), "lunch");
}

// Stands in for the advanced editor; hands back a record of its own.
class RecordingEditor : public TOLMAlarmEditor {
 public:
  void makeNewAlarmForRequestor(TOLMAlarmSheetRequestor*) override { ++opened; }
  void editAlarm_requestor(const std::shared_ptr<TOLMAlarm>&, TOLMAlarmSheetRequestor*) override { ++opened; }
  std::shared_ptr<TOLMAlarm> getAlarmData() override { return dailyAlarm("from the advanced sheet", 9, 0); }
  int opened = 0;
};

TEST_F(AlarmWindowTest, TheSheetThatWasOpenedIsTheOneAskedForTheAlarm) {
  launch();
  RecordingEditor advanced;
  controller->setAdvancedAlarmControl(&advanced);

  controller->newAlarm();
  ASSERT_TRUE(editor->sheet().isVisible());
  // The preference flips while the simple sheet is open.
  store->setBool("simpleAlarmsEnabled", false);
  saveSheet("typed in the simple sheet", "07:00:00");
  EXPECT_EQ(namesInFile(alarmsFile()), (std::vector<std::string>{"typed in the simple sheet"}));

  controller->newAlarm();
  EXPECT_EQ(advanced.opened, 1);
  EXPECT_FALSE(editor->sheet().isVisible());
}

TEST_F(AlarmWindowTest, AnUnreadableFileIsSetAsideToldAndNeverOverwritten) {
  TOLMArchiver truncated;
  truncated.encodeObject(alarmList({dailyAlarm("a", 7, 0), dailyAlarm("b", 8, 0)}));
  std::vector<std::uint8_t> cut = truncated.data();
  cut.resize(cut.size() / 2);
  TOLMArchiver dates;
  dates.encodeObject(TOLMArchiveObject::list({TOLMArchiveObject::record(std::make_shared<TOLMDate>(timeOfDay(7, 0, 0)))}));

  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"bytes that are no archive", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'a', 'r', 'c', 'h', 'i', 'v', 'e'}},
      {"a list of alarms cut in half", cut},
      {"a root that is not a list", TOLMArchiver::archivedDataWithRootObject(TOLMArchiveObject::string("alarms"))},
      {"a list that holds something other than alarms", dates.data()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(dataDirectory());
    writeBytes(alarmsFile(), c.bytes);
    notices.clear();
    launch();

    EXPECT_TRUE(controller->dataSource().alarms().empty());
    EXPECT_EQ(title(), "Next Alarm Date: Never");
    ASSERT_EQ(notices.size(), 1u);
    std::vector<fs::path> aside;
    for (const auto& entry : fs::directory_iterator(dataDirectory())) {
      if (entry.path().filename().string().starts_with("alarms.unreadable-")) aside.push_back(entry.path());
    }
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_NE(notices[0].find(aside[0].string()), std::string::npos) << notices[0];
    EXPECT_EQ(readBytes(aside[0]), c.bytes);

    // The first change writes a new file beside the one kept aside.
    controller->newAlarm();
    saveSheet("new", "07:00:00");
    EXPECT_EQ(namesInFile(alarmsFile()), (std::vector<std::string>{"new"}));
    EXPECT_EQ(readBytes(aside[0]), c.bytes);
    editor.reset();
    controller.reset();
  }
}

TEST_F(AlarmWindowTest, AFailedWriteIsToldAndTheAlarmStillRings) {
  launch();
  // The data folder's place is taken by a file: no write can succeed.
  fs::remove_all(dataDirectory());
  writeBytes(dataDirectory(), {'x'});

  controller->newAlarm();
  saveSheet("kept", "07:00:00");
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].find("could not be saved"), std::string::npos) << notices[0];
  ASSERT_EQ(controller->dataSource().alarms().size(), 1u);
  EXPECT_EQ(title(), "Next Alarm Date: 03/02/2026 7:00:00");

  advanceTo(march(2, 7, 30));
  EXPECT_EQ(delivered, (std::vector<Delivery>{{"kept", "03/02/2026 7:00:00"}}));
}

class SpringForwardTest : public AlarmWindowTest {
 protected:
  // Saturday before the change, noon.
  SpringForwardTest() : AlarmWindowTest("America/New_York", localInstant(2026, 3, 7, 12, 0, 0)) {}
};

TEST_F(SpringForwardTest, AnAlarmSetInTheSkippedHourRingsOnceThatDayAfterTheGap) {
  writeAlarmsFile({dailyAlarm("gap", 2, 30)});
  launch();
  EXPECT_EQ(title(), "Next Alarm Date: 03/08/2026 3:00:00");
  advanceTo(localInstant(2026, 3, 8, 1, 59, 59));
  EXPECT_TRUE(delivered.empty());
  // 01:59:59 EST is followed by 03:00:00 EDT.
  loop().advance(1.0);
  EXPECT_EQ(delivered, (std::vector<Delivery>{{"gap", "03/08/2026 3:00:00"}}));

  loop().advance(1.0);
  EXPECT_EQ(title(), "Next Alarm Date: 03/09/2026 2:30:00");
  advanceTo(localInstant(2026, 3, 9, 3, 0, 0));
  EXPECT_EQ(delivered, (std::vector<Delivery>{{"gap", "03/08/2026 3:00:00"}, {"gap", "03/09/2026 2:30:00"}}));
}

// One step of a clock story: let time run to a wall-clock time, or set the clock to it.
struct Step {
  enum Kind { RunTo, SetClockTo } kind;
  int day, hour, minute;
};

TEST_F(AlarmWindowTest, ClockStepsRingWhatWasSteppedOverOnceAndNothingTwice) {
  const struct {
    const char* story;
    std::vector<std::shared_ptr<TOLMAlarm>> alarms;
    std::vector<Step> steps;
    std::vector<Delivery> expected;
  } cases[] = {
      {"forward over a daily alarm: it rings once, late",
       {dailyAlarm("daily", 7, 0)},
       {{Step::SetClockTo, 2, 9, 0}, {Step::RunTo, 3, 6, 59}, {Step::RunTo, 3, 7, 1}},
       {{"daily", "03/02/2026 9:00:00"}, {"daily", "03/03/2026 7:00:00"}}},
      {"forward over many occurrences of a periodic alarm: once, not once per occurrence",
       {periodicAlarm("every 10 minutes", march(2, 5, 5), 10)},
       {{Step::SetClockTo, 2, 9, 0}, {Step::RunTo, 2, 9, 4}, {Step::RunTo, 2, 9, 6}},
       {{"every 10 minutes", "03/02/2026 9:00:00"}, {"every 10 minutes", "03/02/2026 9:05:00"}}},
      {"forward over two alarms: each rings once",
       {dailyAlarm("eight", 8, 0), dailyAlarm("seven", 7, 0)},
       {{Step::SetClockTo, 2, 9, 0}, {Step::RunTo, 3, 6, 0}},
       {{"seven", "03/02/2026 9:00:00"}, {"eight", "03/02/2026 9:00:01"}}},
      {"back over a fire time that already rang: it does not ring again",
       {dailyAlarm("daily", 7, 0)},
       {{Step::RunTo, 2, 7, 30}, {Step::SetClockTo, 2, 6, 50}, {Step::RunTo, 2, 7, 30}, {Step::RunTo, 3, 7, 1}},
       {{"daily", "03/02/2026 7:00:00"}, {"daily", "03/03/2026 7:00:00"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.story);
    loop().jumpClockTo(march(2, 6));
    fs::remove_all(dataDirectory());
    writeAlarmsFile(c.alarms);
    delivered.clear();
    launch();
    for (const Step& step : c.steps) {
      if (step.kind == Step::SetClockTo) {
        loop().jumpClockTo(march(step.day, step.hour, step.minute));
        loop().runPending();
      } else {
        advanceTo(march(step.day, step.hour, step.minute));
      }
    }
    EXPECT_EQ(delivered, c.expected);
    editor.reset();
    controller.reset();
  }
}

class ZoneChangeTest : public AlarmWindowTest {
 protected:
  ZoneChangeTest() : AlarmWindowTest("Europe/Berlin", localInstant(2026, 3, 2, 7, 0, 0)) {}
};

TEST_F(ZoneChangeTest, AfterTheTimeZoneChangesTheAlarmRingsAtTheNewLocalTime) {
  writeAlarmsFile({dailyAlarm("eight", 8, 0)});
  launch();
  EXPECT_EQ(title(), "Next Alarm Date: 03/02/2026 8:00:00");

  // Berlin 07:00 is New York 01:00; the armed instant would be New York 02:00.
  TOLMZoneScope newYork("America/New_York");
  center.postNotificationName(TOLMRunLoop::clockDidChangeNotification, &loop());
  advanceTo(localInstant(2026, 3, 2, 7, 59, 0));
  EXPECT_TRUE(delivered.empty());
  advanceTo(localInstant(2026, 3, 2, 8, 1, 0));
  EXPECT_EQ(delivered, (std::vector<Delivery>{{"eight", "03/02/2026 8:00:00"}}));
}

}  // namespace
