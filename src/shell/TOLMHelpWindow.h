#pragma once

#include <QWidget>

class QTextBrowser;

// Shows the help document "Usage".
class TOLMHelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TOLMHelpWindow(QWidget* parent = nullptr);
  QTextBrowser* helpView() const { return helpView_; }

 private:
  QTextBrowser* helpView_;
};
