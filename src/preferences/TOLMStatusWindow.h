#pragma once

#include <QWidget>

class QProgressBar;

// The small window shown while the settings are checked at start-up.
class TOLMStatusWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TOLMStatusWindow(QWidget* parent = nullptr);

  void startAnimation();
  void stopAnimation();
  QProgressBar* progressIndicator() const { return progress_; }

 private:
  QProgressBar* progress_;
};
