#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QTextEdit;

// The alarm message window: the log, the volume and speed in use, and the
// Snooze, Stop and Clear buttons. Layout only; the firing queue drives it.
class TOLMMessageWindow : public QWidget {
 public:
  explicit TOLMMessageWindow(QWidget* parent = nullptr);

  QTextEdit* alarmMessages() const { return alarmMessages_; }
  QLineEdit* volPercent() const { return volPercent_; }
  QLineEdit* speedPercent() const { return speedPercent_; }
  QPushButton* snoozeButton() const { return snooze_; }
  QPushButton* stopButton() const { return stop_; }
  QPushButton* clearButton() const { return clear_; }

  // Shown in front of the other windows with the keyboard focus.
  void makeKeyAndOrderFront();

 private:
  QTextEdit* alarmMessages_;
  QLineEdit* volPercent_;
  QLineEdit* speedPercent_;
  QPushButton* snooze_;
  QPushButton* stop_;
  QPushButton* clear_;
};
