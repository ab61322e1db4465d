#include "shell/TOLMHelpWindow.h"

#include <QTextBrowser>
#include <QVBoxLayout>

TOLMHelpWindow::TOLMHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), helpView_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("helpWindow"));
  setWindowTitle(QStringLiteral("Vekkaro Help"));
  helpView_->setObjectName(QStringLiteral("helpView"));
  helpView_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(helpView_);
  resize(560, 640);
}
