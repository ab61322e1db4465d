#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QTextBrowser>
#include <QXmlStreamReader>

#include "firing/TOLMFiringServices.h"
#include "firing/TOLMFiringStandIns.h"
#include "platform/TOLMApplicationImage.h"
#include "platform/TOLMDefaultsStore.h"
#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMVirtualRunLoop.h"
#include "preferences/TOLMPreferenceController.h"
#include "shell/TOLMCompositionRoot.h"
#include "shell/TOLMController.h"
#include "shell/TOLMMainMenu.h"
#include "shell/TOLMTrayIcon.h"
#include "support/TOLMTemporaryHome.h"

namespace {

class LaunchTest : public ::testing::Test {
 protected:
  TOLMTemporaryHome home;
  TOLMNotificationCenter center;
  TOLMVirtualRunLoop loop{center, 1'120'000'000.0};

  QString dataDirectory() const { return home.qPath() + "/Library/Preferences/Vekkaro"; }
  QString plistPath() const { return home.qPath() + "/Library/Preferences/Vekkaro.plist"; }
};

QStringList plistKeys(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QXmlStreamReader xml(&file);
  QStringList keys;
  int depth = 0;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      ++depth;
      if (xml.name() == QLatin1String("key") && depth == 3) keys << xml.readElementText(), --depth;
    } else if (xml.isEndElement()) {
      --depth;
    }
  }
  return keys;
}

TEST_F(LaunchTest, SettingsAreReadyBeforeAnyOtherSetUpAndTimersWaitForTheLoop) {
  std::vector<std::string> events;
  bool zeroTimerFired = false;
  auto onWillFinish = center.addObserver(NSApplicationWillFinishLaunchingNotification, nullptr, [&](const auto&) {
    events.push_back("will-finish");
    EXPECT_TRUE(QFileInfo(dataDirectory()).isDir());
  });
  TOLMCompositionRoot root(loop, center, home.path());
  auto onDidFinish = center.addObserver(NSApplicationDidFinishLaunchingNotification, nullptr, [&](const auto&) {
    events.push_back("did-finish");
    EXPECT_TRUE(root.prefs().store().boolForKey("written_to"));
    loop.scheduledTimerWithTimeInterval(0, [&](TOLMTimer&) { zeroTimerFired = true; }, {}, false);
  });
  // The data folder exists before any notification.
  EXPECT_TRUE(QFileInfo(dataDirectory()).isDir());

  root.launch();
  EXPECT_EQ(events, (std::vector<std::string>{"will-finish", "did-finish"}));
  EXPECT_FALSE(zeroTimerFired);
  loop.runPending();
  EXPECT_TRUE(zeroTimerFired);
}

TEST_F(LaunchTest, MediaEnginesLoadDuringTheStartUpWaitBeforeAnyAlarmIsArmed) {
  TOLMFiringServices services;
  auto player = std::make_unique<TOLMRecordingPlayer>();
  auto speaker = std::make_unique<TOLMRecordingSpeaker>();
  TOLMRecordingPlayer* playerSeen = player.get();
  TOLMRecordingSpeaker* speakerSeen = speaker.get();
  services.player = std::move(player);
  services.speaker = std::move(speaker);
  services.commandRunner = std::make_unique<TOLMRecordingCommandRunner>();
  services.systemVolume = std::make_unique<TOLMRecordingSystemVolume>();
  TOLMCompositionRoot root(loop, center, home.path(), std::move(services));
  int preparedAtDidFinish = -1;
  auto onDidFinish = center.addObserver(NSApplicationDidFinishLaunchingNotification, nullptr,
                                        [&](const auto&) { preparedAtDidFinish = playerSeen->prepared; });
  EXPECT_EQ(playerSeen->prepared, 0);  // constructing loads nothing
  root.launch();
  EXPECT_EQ(preparedAtDidFinish, 1);
  EXPECT_EQ(speakerSeen->prepared, 1);
}

TEST_F(LaunchTest, FirstStartWritesTheWholePreferenceFile) {
  {
    TOLMCompositionRoot root(loop, center, home.path());
    root.launch();
    loop.runPending();
  }
  const QStringList keys = plistKeys(plistPath());
  EXPECT_EQ(keys.size(), 80);
  EXPECT_EQ(keys.value(0), "written_to");
  EXPECT_EQ(keys.value(79), "simpleAlarmsEnabled");
}

TEST_F(LaunchTest, ControllerSetUpRunsItsFirstLaunchStepsOnce) {
  TOLMCompositionRoot root(loop, center, home.path());
  root.launch();
  EXPECT_EQ(root.mainMenu().applicationMenuTitle(), "Vekkaro");
  EXPECT_TRUE(root.alarmsWindow()->isVisible());
  EXPECT_FALSE(root.controller().isFirstLaunch());
  EXPECT_EQ(root.trayIcon().applicationIconImage(), TOLMApplicationImage::image(128));

  // A later call (after a dock setting changed) never reopens the window.
  root.alarmsWindow()->hide();
  root.controller().setUpController();
  EXPECT_FALSE(root.alarmsWindow()->isVisible());
}

TEST_F(LaunchTest, AlarmWindowStaysClosedWhenItsSettingIsOff) {
  {
    TOLMCompositionRoot first(loop, center, home.path());
    first.launch();
    first.prefs().store().setBool("alarmsWindowIsOpen", false);
  }
  TOLMCompositionRoot root(loop, center, home.path());
  root.launch();
  EXPECT_FALSE(root.alarmsWindow()->isVisible());
  EXPECT_FALSE(root.prefs().alarmsWindowIsOpen());
}

TEST_F(LaunchTest, HelpDocumentIsLoaded) {
  TOLMCompositionRoot root(loop, center, home.path());
  root.launch();
  bool found = false;
  for (QWidget* widget : QApplication::allWidgets()) {
    if (auto* view = qobject_cast<QTextBrowser*>(widget); view && view->objectName() == "helpView") {
      found = view->toPlainText().contains("Snooze");
    }
  }
  EXPECT_TRUE(found);
}

TEST_F(LaunchTest, TerminationPostsWillTerminateOnceAndSavesSettings) {
  int willTerminate = 0;
  auto observer = center.addObserver(NSApplicationWillTerminateNotification, nullptr,
                                     [&](const auto&) { ++willTerminate; });
  TOLMCompositionRoot root(loop, center, home.path());
  root.launch();
  root.prefs().store().setFloat("snoozeTime", 8.0);
  root.terminate();
  root.terminate();
  EXPECT_EQ(willTerminate, 1);

  TOLMDefaultsStore reread(plistPath().toStdString(), nullptr);
  ASSERT_TRUE(reread.load());
  EXPECT_EQ(reread.integerForKey("snoozeTime"), 8);
}

}  // namespace
