#pragma once

#include <QObject>
#include <functional>
#include <initializer_list>

class QSocketNotifier;

// Turns termination signals (SIGTERM, SIGINT, SIGHUP) into a call on the event
// loop, through a self-pipe, so shutdown runs the normal will-terminate path.
class TOLMSignalWatcher : public QObject {
  Q_OBJECT
 public:
  TOLMSignalWatcher(std::initializer_list<int> signalNumbers, std::function<void(int signal)> handler,
                    QObject* parent = nullptr);
  ~TOLMSignalWatcher() override;

 private:
  void readSignal();

  std::function<void(int)> handler_;
  QSocketNotifier* notifier_ = nullptr;
};
