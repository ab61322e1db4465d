// The real media framework, shell and sound server, once each.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "firing/TOLMCommandLauncher.h"
#include "firing/TOLMLinuxSystemVolume.h"
#include "firing/TOLMQtMusicPlayer.h"
#include "firing/TOLMShellCommandRunner.h"
#include "platform/TOLMNotificationCenter.h"
#include "platform/TOLMQtRunLoop.h"

// The media framework's device monitors (PulseAudio, Vulkan, GLib start-up)
// keep allocations to the end of the process; they are not ours to free.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libpulse.so\n"
         "leak:libpulsecommon\n"
         "leak:libglib-2.0.so\n"
         "leak:libgstvulkan\n"
         "leak:__vasprintf_internal\n";
}

namespace {

// Runs the event loop until the condition holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, int milliseconds) {
  QDeadlineTimer deadline(milliseconds);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  }
  return true;
}

// A mono 16-bit PCM tone.
void writeWave(const QString& path, double seconds) {
  const int rate = 8000;
  const auto samples = static_cast<quint32>(rate * seconds);
  QByteArray data;
  data.reserve(static_cast<qsizetype>(samples) * 2);
  for (quint32 i = 0; i < samples; ++i) {
    const auto v = static_cast<qint16>(8000 * std::sin(2 * M_PI * 440.0 * i / rate));
    data.append(static_cast<char>(v & 0xff));
    data.append(static_cast<char>((v >> 8) & 0xff));
  }
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  QDataStream out(&file);
  out.setByteOrder(QDataStream::LittleEndian);
  out.writeRawData("RIFF", 4);
  out << quint32(36 + data.size());
  out.writeRawData("WAVEfmt ", 8);
  out << quint32(16) << quint16(1) << quint16(1) << quint32(rate) << quint32(rate * 2) << quint16(2) << quint16(16);
  out.writeRawData("data", 4);
  out << quint32(data.size());
  out.writeRawData(data.constData(), static_cast<int>(data.size()));
}

std::string readFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

TEST(RealPlayer, PlaysAGeneratedWaveToItsEndAndAgain) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("tone.wav"));
  writeWave(path, 0.4);
  TOLMQtMusicPlayer player;
  std::vector<std::string> failures;
  player.setFailureHandler([&](const QUrl&, const std::string& reason) { failures.push_back(reason); });
  player.setVolume(0.2f);

  for (int round = 0; round < 2; ++round) {
    player.play(QUrl::fromLocalFile(path));
    EXPECT_TRUE(player.isPlaying());
    EXPECT_TRUE(waitUntil([&] { return !player.isPlaying(); }, 20000)) << "round " << round;
  }
  EXPECT_TRUE(failures.empty()) << failures.front();
}

TEST(RealPlayer, AFileThatIsNoSongIsReportedAndDoesNotPlay) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("notes.wav"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("this is a shopping list, not a song\n");
  file.close();

  TOLMQtMusicPlayer player;
  std::vector<std::string> failures;
  player.setFailureHandler([&](const QUrl&, const std::string& reason) { failures.push_back(reason); });
  player.play(QUrl::fromLocalFile(path));
  EXPECT_TRUE(waitUntil([&] { return !failures.empty(); }, 20000));
  EXPECT_FALSE(player.isPlaying());
}

TEST(RealShell, CommandsRunInOrderWhileTheEventLoopGoesOn) {
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("out"));
  std::string o(1, '\'');  // appended piece by piece: GCC 12 warns falsely on "literal" + std::string
  o += out.toStdString();
  o += '\'';
  TOLMNotificationCenter center;
  TOLMQtRunLoop loop(center);
  TOLMShellCommandRunner runner;
  std::vector<std::string> problems;
  TOLMCommandLauncher launcher(runner, [&](const std::string& line) { problems.push_back(line); });

  int ticksDuringSleep = 0;
  auto ticker = loop.scheduledTimerWithTimeInterval(
      0.05, [&](TOLMTimer&) { ticksDuringSleep += readFile(out) == "one\n" ? 1 : 0; }, {}, true);

  launcher.launchTasksForCommandArray({
      "echo one >> " + o + "; sleep 1",
      "echo two >> " + o,
      // No terminal to read from: standard input is the null device.
      "[ \"$(readlink /proc/self/fd/0)\" = /dev/null ] && echo quiet-stdin >> " + o,
  });
  launcher.launchTasksForCommandArray({"exit 3", "no-such-command-vekkaro"});

  ASSERT_TRUE(waitUntil([&] { return launcher.runningListCount() == 0; }, 20000));
  ticker->invalidate();
  EXPECT_EQ(readFile(out), "one\ntwo\nquiet-stdin\n");
  EXPECT_GE(ticksDuringSleep, 5);  // timers kept firing while the shell slept
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_NE(problems[0].find("\"exit 3\" failed: exit status 3"), std::string::npos) << problems[0];
  EXPECT_NE(problems[1].find("exit status 127"), std::string::npos) << problems[1];
  EXPECT_NE(problems[1].find("not found"), std::string::npos) << problems[1];
}

// A private PulseAudio with a null sink, started and ended by the test.
class PrivateSoundServer {
 public:
  PrivateSoundServer() {
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty()) {
      return;
    }
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
    env_.insert(QStringLiteral("HOME"), dir_.path());
    QProcess daemon;
    daemon.setProcessEnvironment(env_);
    daemon.start(QStringLiteral("pulseaudio"),
                 {QStringLiteral("-D"), QStringLiteral("--exit-idle-time=-1"), QStringLiteral("-n"),
                  QStringLiteral("--load=module-null-sink sink_name=vekkaro_null"),
                  QStringLiteral("--load=module-native-protocol-unix")});
    if (!daemon.waitForFinished(20000) || daemon.exitCode() != 0) return;
    server_ = QStringLiteral("unix:") + dir_.filePath(QStringLiteral("pulse/native"));
    env_.insert(QStringLiteral("PULSE_SERVER"), server_);
    ready_ = pactl({QStringLiteral("info")}).has_value();
  }
  ~PrivateSoundServer() {
    if (!server_.isEmpty()) pactl({QStringLiteral("exit")});
  }

  bool ready() const { return ready_; }
  const QString& server() const { return server_; }
  std::optional<std::string> pactl(const QStringList& arguments) {
    QProcess p;
    p.setProcessEnvironment(env_);
    p.start(QStringLiteral("pactl"), arguments);
    if (!p.waitForFinished(10000) || p.exitCode() != 0) return std::nullopt;
    return p.readAllStandardOutput().toStdString();
  }

 private:
  QTemporaryDir dir_;
  QProcessEnvironment env_;
  QString server_;
  bool ready_ = false;
};

TEST(RealSystemVolume, UnmutesTheDefaultSinkAndSetsItToFullVolume) {
  PrivateSoundServer sound;
  if (!sound.ready()) GTEST_SKIP() << "no PulseAudio server could be started";
  ASSERT_TRUE(sound.pactl({"set-sink-mute", "@DEFAULT_SINK@", "1"}));
  ASSERT_TRUE(sound.pactl({"set-sink-volume", "@DEFAULT_SINK@", "30%"}));

  // The commands reach the private server through the inherited environment.
  const char* oldServer = std::getenv("PULSE_SERVER");
  const std::optional<std::string> saved = oldServer ? std::optional<std::string>(oldServer) : std::nullopt;
  ::setenv("PULSE_SERVER", sound.server().toLocal8Bit().constData(), 1);

  TOLMLinuxSystemVolume volume(std::make_unique<TOLMShellCommandRunner>());
  std::optional<TOLMStatus> outcome;
  volume.unmuteAndRaiseToFull([&](const TOLMStatus& status) { outcome = status; });
  const bool finished = waitUntil([&] { return outcome.has_value(); }, 20000);
  if (saved) {
    ::setenv("PULSE_SERVER", saved->c_str(), 1);
  } else {
    ::unsetenv("PULSE_SERVER");
  }

  ASSERT_TRUE(finished);
  EXPECT_TRUE(*outcome) << outcome->error();
  EXPECT_EQ(sound.pactl({"get-sink-mute", "@DEFAULT_SINK@"}).value_or(""), "Mute: no\n");
  const std::string level = sound.pactl({"get-sink-volume", "@DEFAULT_SINK@"}).value_or("");
  EXPECT_NE(level.find("/ 100% /"), std::string::npos) << level;
  EXPECT_EQ(level.find("/  30% /"), std::string::npos) << level;
}

}  // namespace
