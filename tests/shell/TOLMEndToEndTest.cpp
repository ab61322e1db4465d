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
#include <functional>

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

  void start() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
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

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
