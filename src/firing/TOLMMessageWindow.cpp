#include "firing/TOLMMessageWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QLineEdit* readOnlyField(const QString& name) {
  auto* field = new QLineEdit;
  field->setObjectName(name);
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  field->setAlignment(Qt::AlignRight);
  field->setMaximumWidth(60);
  return field;
}

}  // namespace

TOLMMessageWindow::TOLMMessageWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("alarmMessagesWindow"));
  setWindowTitle(QStringLiteral("Alarm Messages"));
  resize(420, 260);

  alarmMessages_ = new QTextEdit;
  alarmMessages_->setObjectName(QStringLiteral("alarmMessages"));
  alarmMessages_->setReadOnly(true);
  alarmMessages_->setAcceptRichText(false);

  volPercent_ = readOnlyField(QStringLiteral("volPercent"));
  speedPercent_ = readOnlyField(QStringLiteral("speedPercent"));

  snooze_ = new QPushButton(QStringLiteral("Snooze"));
  snooze_->setObjectName(QStringLiteral("snooze"));
  stop_ = new QPushButton(QStringLiteral("Stop"));
  stop_->setObjectName(QStringLiteral("killAlarms"));
  clear_ = new QPushButton(QStringLiteral("Clear"));
  clear_->setObjectName(QStringLiteral("clearLog"));
  snooze_->setDefault(true);

  auto* controls = new QHBoxLayout;
  controls->addWidget(new QLabel(QStringLiteral("Volume:")));
  controls->addWidget(volPercent_);
  controls->addWidget(new QLabel(QStringLiteral("%")));
  controls->addSpacing(12);
  controls->addWidget(new QLabel(QStringLiteral("Speed:")));
  controls->addWidget(speedPercent_);
  controls->addStretch(1);
  controls->addWidget(clear_);
  controls->addWidget(snooze_);
  controls->addWidget(stop_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(alarmMessages_, 1);
  layout->addLayout(controls);
}

void TOLMMessageWindow::makeKeyAndOrderFront() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}
