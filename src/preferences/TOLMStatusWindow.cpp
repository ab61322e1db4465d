#include "preferences/TOLMStatusWindow.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "platform/TOLMApplicationImage.h"

TOLMStatusWindow::TOLMStatusWindow(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint), progress_(new QProgressBar(this)) {
  setObjectName(QStringLiteral("status_window"));
  setWindowTitle(QStringLiteral("Vekkaro"));
  setWindowIcon(TOLMApplicationImage::icon());
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(QStringLiteral("Starting Vekkaro…"), this);
  label->setAlignment(Qt::AlignCenter);
  layout->addWidget(label);
  progress_->setObjectName(QStringLiteral("status_window_progress"));
  progress_->setTextVisible(false);
  progress_->setRange(0, 1);
  layout->addWidget(progress_);
  setFixedSize(260, 80);
}

void TOLMStatusWindow::startAnimation() { progress_->setRange(0, 0); }

void TOLMStatusWindow::stopAnimation() { progress_->setRange(0, 1); }
