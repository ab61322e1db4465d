// Starts the built program the way a user's session does and observes what a
// user would: files written, the process ending cleanly.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>

#include <QDir>
#include <QRegularExpression>
#include <cmath>

#include "alarms/TOLMAlarm.h"
#include "archive/TOLMArchiveObject.h"
#include "dates/TOLMClock.h"
#include "dates/TOLMDate.h"
#include "platform/TOLMArchiveFile.h"
#include "platform/TOLMDurableFile.h"
#include "support/TOLMTemporaryHome.h"

#ifndef VEKKARO_BINARY_PATH
#error "VEKKARO_BINARY_PATH must name the built program"
#endif

namespace {

bool waitFor(const std::function<bool()>& condition, int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > milliseconds) return false;
    QThread::msleep(20);
  }
  return true;
}

class EndToEndTest : public ::testing::Test {
 protected:
  TOLMTemporaryHome home;
  QProcess vekkaro;

  void start(bool timingLog = false) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (timingLog) environment.insert("QT_LOGGING_RULES", "vekkaro.timing.debug=true");
    environment.insert("HOME", home.qPath());
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    vekkaro.setProcessEnvironment(environment);
    vekkaro.setProcessChannelMode(QProcess::MergedChannels);
    vekkaro.start(QStringLiteral(VEKKARO_BINARY_PATH), {});
    ASSERT_TRUE(vekkaro.waitForStarted(5000));
  }
  QString output() { return QString::fromLocal8Bit(vekkaro.readAll()); }
  QString preferencesFile() const { return home.qPath() + "/Library/Preferences/Vekkaro.plist"; }
};

TEST_F(EndToEndTest, StartsHeadlessWritesItsSettingsAndEndsCleanlyOnSigterm) {
  start();
  ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(preferencesFile()); }, 15000)) << output().toStdString();
  EXPECT_TRUE(QFileInfo(home.qPath() + "/Library/Preferences/Vekkaro").isDir());

  QElapsedTimer stopping;
  stopping.start();
  vekkaro.terminate();  // SIGTERM
  ASSERT_TRUE(vekkaro.waitForFinished(3000)) << output().toStdString();
  EXPECT_LT(stopping.elapsed(), 3000);
  EXPECT_EQ(vekkaro.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(vekkaro.exitCode(), 0);
  EXPECT_TRUE(output().contains("running offscreen"));
}

TEST_F(EndToEndTest, InterruptAndHangUpEndItCleanlyToo) {
  for (int signal : {SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal);
    QFile::remove(preferencesFile());
    start();
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(preferencesFile()); }, 15000)) << output().toStdString();
    ::kill(static_cast<pid_t>(vekkaro.processId()), signal);
    ASSERT_TRUE(vekkaro.waitForFinished(3000));
    EXPECT_EQ(vekkaro.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vekkaro.exitCode(), 0);
  }
}

// Milliseconds from the due instant to the first line naming the event.
std::optional<double> delayOf(const QString& output, const QString& event, double due) {
  const QRegularExpression line(event + QStringLiteral(" (?:due=[0-9.]+ )?at=([0-9.]+)"));
  const QRegularExpressionMatch match = line.match(output);
  if (!match.hasMatch()) return std::nullopt;
  return (match.captured(1).toDouble() - due) * 1000.0;
}

TEST_F(EndToEndTest, AnAlarmDueTwoSecondsAfterStartRingsRunsItsCommandAndLeavesItsFileAlone) {
  const QString dataDirectory = home.qPath() + "/Library/Preferences/Vekkaro";
  ASSERT_TRUE(QDir().mkpath(dataDirectory));
  const QString marker = home.qPath() + "/alarm-rang";
  const QString alarmsFile = dataDirectory + "/alarms";

  // The next whole second at least two seconds from now.
  const double due = std::ceil(TOLMClock::now()) + 2.0;
  auto alarm = std::make_shared<TOLMAlarm>();
  alarm->setAlarmName("Wake up");
  alarm->setAlarmMessage("Time");
  alarm->setSetEnabled(false);
  alarm->setSpecificFireEnabled(true);
  alarm->setSpecificFireDates({TOLMDate::initWithCalendarDate(due)});
  alarm->setManualSongEnabled(true);
  alarm->setManualSongLocation(std::string(VEKKARO_SOURCE_DIR) + "/resources/sounds/Temple.aiff");
  alarm->setShouldLaunchScripts(true);
  alarm->setScriptsArray({"touch '" + marker.toStdString() + "'"});
  ASSERT_TRUE(TOLMArchiveFile::archiveRootObject_toFile(
      TOLMArchiveObject::list(TOLMArchiveList{TOLMArchiveObject::record(alarm)}), alarmsFile.toStdString()));
  const auto before = TOLMDurableFile::readFile(alarmsFile.toStdString());
  ASSERT_TRUE(before.ok() && before.value().has_value());

  start(/*timingLog=*/true);
  ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(marker); }, 10000)) << output().toStdString();
  EXPECT_GE(TOLMClock::now(), due);

  // Let the music start before stopping it.
  QThread::msleep(300);
  vekkaro.terminate();
  ASSERT_TRUE(vekkaro.waitForFinished(3000));
  EXPECT_EQ(vekkaro.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(vekkaro.exitCode(), 0);

  const auto after = TOLMDurableFile::readFile(alarmsFile.toStdString());
  ASSERT_TRUE(after.ok() && after.value().has_value());
  EXPECT_EQ(*after.value(), *before.value());

  const QString log = output();
  const auto fired = delayOf(log, "alarm-timer-fired", due);
  const auto logged = delayOf(log, "message-logged", due);
  const auto playing = delayOf(log, "player-started", due);
  ASSERT_TRUE(fired && logged && playing) << log.toStdString();
  std::printf("due second to timer: %.1f ms, to log line: %.1f ms, to player start: %.1f ms\n", *fired, *logged,
              *playing);
  // Never early; the tight goal is measured in release builds, this bound only
  // catches a timer that is plainly late (sanitizer builds are slow).
  EXPECT_GE(*fired, 0.0);
  EXPECT_LT(*playing, 1000.0);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
