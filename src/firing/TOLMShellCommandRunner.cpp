#include "firing/TOLMShellCommandRunner.h"

#include <unistd.h>

#include <QProcess>
#include <algorithm>

namespace {

// Enough of the error output to explain a failure; the rest is dropped.
constexpr qsizetype errorOutputLimit = 2048;

std::string lastLineOf(const QByteArray& output) {
  const QList<QByteArray> lines = output.trimmed().split('\n');
  return lines.isEmpty() ? std::string() : lines.last().trimmed().toStdString();
}

}  // namespace

struct TOLMShellCommandRunner::Running {
  std::unique_ptr<QProcess> process;
  Completion done;
  QByteArray errorOutput;
};

TOLMShellCommandRunner::TOLMShellCommandRunner() = default;

TOLMShellCommandRunner::~TOLMShellCommandRunner() {
  for (auto& running : running_) {
    // No completion may reach an owner that is going away.
    QObject::disconnect(running->process.get(), nullptr, nullptr, nullptr);
    running->process->kill();
    running->process->waitForFinished(1000);
  }
}

void TOLMShellCommandRunner::runCommand(const std::string& commandLine, Completion done) {
  auto running = std::make_unique<Running>();
  running->done = std::move(done);
  running->process = std::make_unique<QProcess>();
  QProcess* process = running->process.get();
  Running* key = running.get();

  process->setProgram(QStringLiteral("/bin/sh"));
  process->setArguments({QStringLiteral("-c"), QString::fromStdString(commandLine)});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setProcessChannelMode(QProcess::SeparateChannels);
  // Away from the terminal's signals and job control: Ctrl-C on the program
  // must not kill the user's commands, and they must not read the terminal.
  process->setChildProcessModifier([] { ::setsid(); });

  QObject::connect(process, &QProcess::readyReadStandardError, process, [key] {
    const QByteArray chunk = key->process->readAllStandardError();
    const qsizetype room = errorOutputLimit - key->errorOutput.size();
    if (room > 0) key->errorOutput += chunk.left(room);
  });
  QObject::connect(process, &QProcess::finished, process, [this, key](int exitCode, QProcess::ExitStatus status) {
    key->errorOutput += key->process->readAllStandardError().left(errorOutputLimit);
    std::string reason;
    if (status == QProcess::CrashExit) {
      reason = "ended by a signal";
    } else if (exitCode != 0) {
      reason = "exit status " + std::to_string(exitCode);
    }
    if (reason.empty()) {
      finish(key, TOLMStatus::success());
      return;
    }
    const std::string detail = lastLineOf(key->errorOutput);
    finish(key, TOLMStatus::failure(detail.empty() ? reason : reason + ": " + detail));
  });
  // Queued: a failed start is reported from inside start() itself.
  QObject::connect(
      process, &QProcess::errorOccurred, process,
      [this, key](QProcess::ProcessError error) {
        // Crashes also end in finished(); only a failed start does not.
        if (error != QProcess::FailedToStart) return;
        finish(key, TOLMStatus::failure("cannot start /bin/sh: " + key->process->errorString().toStdString()));
      },
      Qt::QueuedConnection);

  running_.push_back(std::move(running));
  process->start();
}

void TOLMShellCommandRunner::finish(Running* key, const TOLMStatus& outcome) {
  auto it = std::find_if(running_.begin(), running_.end(), [key](const auto& r) { return r.get() == key; });
  if (it == running_.end()) return;
  std::unique_ptr<Running> running = std::move(*it);
  running_.erase(it);
  QObject::disconnect(running->process.get(), nullptr, nullptr, nullptr);
  // Deleted later: this runs inside one of the process's own signals.
  running->process.release()->deleteLater();
  if (running->done) running->done(outcome);
}
