#include "platform/TOLMQtRunLoop.h"

#include <sys/stat.h>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSocketNotifier>
#include <QtDebug>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>

#include "alarms/TOLMLocalTimeCache.h"
#include "dates/TOLMClock.h"

namespace {

// With nothing due the timerfd still waits this long at most: CANCEL_ON_SET
// only reports a clock step to an armed timer, and the wake doubles as a
// regular look for a resume.
constexpr double kIdleWake = 900.0;

timespec toTimespec(double instant) {
  instant = std::max(instant, 0.0);
  double whole = std::floor(instant);
  // Round up so the wake is never before the fire date.
  auto nanos = static_cast<long>(std::ceil((instant - whole) * 1e9));
  if (nanos >= 1000000000L) {
    whole += 1;
    nanos -= 1000000000L;
  }
  timespec ts{};
  ts.tv_sec = static_cast<time_t>(whole);
  ts.tv_nsec = nanos;
  if (ts.tv_sec == 0 && ts.tv_nsec == 0) ts.tv_nsec = 1;  // zero would disarm
  return ts;
}

std::string describeStat(const char* what, int result, const struct stat& info) {
  if (result != 0) return std::string(what) + ":none;";
  return std::string(what) + ":" + std::to_string(info.st_dev) + "/" + std::to_string(info.st_ino) + "/" +
         std::to_string(info.st_size) + "/" + std::to_string(info.st_mtim.tv_sec) + "." +
         std::to_string(info.st_mtim.tv_nsec) + ";";
}

}  // namespace

TOLMQtRunLoop::TOLMQtRunLoop(TOLMNotificationCenter& center, QObject* parent)
    : QObject(parent), TOLMRunLoop(center) {
  timerFd_ = ::timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timerFd_ < 0) {
    qCritical("cannot create the timer descriptor: %s", std::strerror(errno));
  } else {
    notifier_ = new QSocketNotifier(timerFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { timerFdReadable(); });
  }
  zoneWatcher_ = new QFileSystemWatcher(this);
  connect(zoneWatcher_, &QFileSystemWatcher::fileChanged, this, [this] { localTimeChanged(); });
  connect(zoneWatcher_, &QFileSystemWatcher::directoryChanged, this, [this] { localTimeChanged(); });
  watchTimeZoneFile(QStringLiteral("/etc/localtime"));
  armTimerFd();
}

TOLMQtRunLoop::~TOLMQtRunLoop() {
  TOLMClock::setSource({});
  delete notifier_;
  notifier_ = nullptr;
  if (timerFd_ >= 0) ::close(timerFd_);
  timerFd_ = -1;
}

double TOLMQtRunLoop::now() const {
  timespec ts{};
  ::clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void TOLMQtRunLoop::runFor(double seconds) {
  QEventLoop loop;
  auto timer = scheduledTimerWithTimeInterval(seconds, [&loop](TOLMTimer&) { loop.quit(); }, {}, false);
  loop.exec();
  timer->invalidate();  // the loop may have ended for another reason
}

void TOLMQtRunLoop::watchTimeZoneFile(const QString& path) {
  if (!zoneWatcher_->files().isEmpty()) zoneWatcher_->removePaths(zoneWatcher_->files());
  if (!zoneWatcher_->directories().isEmpty()) zoneWatcher_->removePaths(zoneWatcher_->directories());
  zoneFile_ = path;
  // The folder too: replacing a symbolic link leaves its old target untouched.
  const QString folder = QFileInfo(path).absolutePath();
  if (QFileInfo::exists(folder)) zoneWatcher_->addPath(folder);
  if (QFileInfo::exists(path)) zoneWatcher_->addPath(path);
  zoneSignature_ = zoneSignature();
}

void TOLMQtRunLoop::setClockOffsetSource(TOLMClockStepDetector::OffsetSource source) {
  stepDetector_.setSource(source ? std::move(source) : TOLMClockStepDetector::OffsetSource(
                                                           &TOLMClockStepDetector::systemOffset));
}

void TOLMQtRunLoop::scheduleChanged() { armTimerFd(); }

void TOLMQtRunLoop::armTimerFd() {
  if (timerFd_ < 0) return;
  const double horizon = now() + kIdleWake;
  const auto next = nextFireDate();
  itimerspec arming{};
  arming.it_value = toTimespec(next ? std::min(*next, horizon) : horizon);
  if (::timerfd_settime(timerFd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &arming, nullptr) != 0) {
    qCritical("cannot arm the timer descriptor: %s", std::strerror(errno));
  }
}

void TOLMQtRunLoop::timerFdReadable() {
  std::uint64_t expirations = 0;
  const ssize_t got = ::read(timerFd_, &expirations, sizeof expirations);
  const bool clockWasSet = got < 0 && errno == ECANCELED;
  // The detector also sees a resume, which need not cancel the descriptor;
  // it looks every time, so one step is reported once.
  const bool stepped = stepDetector_.check();
  deliver([&] {
    if (clockWasSet || stepped) postClockDidChange();
    firePass();
  });
  // Also re-arms after ECANCELED, which disarms the descriptor.
  armTimerFd();
}

void TOLMQtRunLoop::deliver(const std::function<void()>& work) {
  // Nothing may escape into Qt's event loop; the remaining due timers stay
  // scheduled and fire at the next wake.
  try {
    work();
  } catch (const std::exception& error) {
    qCritical("a timer or clock-change handler failed: %s", error.what());
  } catch (...) {
    qCritical("a timer or clock-change handler failed");
  }
}

std::string TOLMQtRunLoop::zoneSignature() const {
  const QByteArray path = QFile::encodeName(zoneFile_);
  struct stat own {};
  struct stat target {};
  const int ownResult = ::lstat(path.constData(), &own);
  const int targetResult = ::stat(path.constData(), &target);
  std::string signature = describeStat("link", ownResult, own) + describeStat("file", targetResult, target);
  if (ownResult == 0 && S_ISLNK(own.st_mode)) {
    char buffer[4096];
    const ssize_t length = ::readlink(path.constData(), buffer, sizeof buffer);
    if (length > 0) signature.append(buffer, static_cast<std::size_t>(length));
  }
  return signature;
}

void TOLMQtRunLoop::localTimeChanged() {
  const std::string signature = zoneSignature();
  if (signature == zoneSignature_) return;  // another file in the folder
  zoneSignature_ = signature;
  // A replaced file drops out of the watch (or the watch follows an old link target).
  if (zoneWatcher_->files().contains(zoneFile_)) zoneWatcher_->removePath(zoneFile_);
  if (QFileInfo::exists(zoneFile_)) zoneWatcher_->addPath(zoneFile_);
  ::tzset();
  TOLMLocalTimeCache::zoneDidChange();
  deliver([this] { postClockDidChange(); });
}
