#include "platform/TOLMSignalWatcher.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gSignalPipe[2] = {-1, -1};

void onSignal(int signal) {
  const unsigned char byte = static_cast<unsigned char>(signal);
  // Only async-signal-safe calls here.
  [[maybe_unused]] const ssize_t ignored = ::write(gSignalPipe[1], &byte, 1);
}

}  // namespace

TOLMSignalWatcher::TOLMSignalWatcher(std::initializer_list<int> signalNumbers, std::function<void(int)> handler,
                                     QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
  if (gSignalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, gSignalPipe) != 0) {
    return;
  }
  notifier_ = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TOLMSignalWatcher::readSignal);
  for (int signal : signalNumbers) {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
  }
}

TOLMSignalWatcher::~TOLMSignalWatcher() = default;

void TOLMSignalWatcher::readSignal() {
  unsigned char byte = 0;
  while (::read(gSignalPipe[0], &byte, 1) == 1) {
    if (handler_) handler_(byte);
  }
}
