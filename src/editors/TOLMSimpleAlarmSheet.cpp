#include "editors/TOLMSimpleAlarmSheet.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TOLMSimpleAlarmSheet::TOLMSimpleAlarmSheet(QWidget* window) : QDialog(window) {
  setObjectName(QStringLiteral("simpleAlarmSheet"));
  setWindowTitle(tr("Alarm"));
  setWindowModality(Qt::WindowModal);

  auto* layout = new QVBoxLayout(this);

  alarmIsEnabled = new QCheckBox(tr("Alarm enabled"), this);
  layout->addWidget(alarmIsEnabled);

  auto* form = new QFormLayout();
  name = new QLineEdit(this);
  message = new QLineEdit(this);
  timeOfDay = new QLineEdit(this);
  timeOfDay->setPlaceholderText(QStringLiteral("07:00:00"));
  form->addRow(tr("Name:"), name);
  form->addRow(tr("Message:"), message);
  form->addRow(tr("Time of day:"), timeOfDay);
  layout->addLayout(form);

  auto* dayRow = new QHBoxLayout();
  const char* dayTitles[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  for (int i = 0; i < 7; ++i) {
    days[i] = new QCheckBox(tr(dayTitles[i]), this);
    dayRow->addWidget(days[i]);
  }
  layout->addLayout(dayRow);

  auto* music = new QGroupBox(tr("Music"), this);
  auto* grid = new QGridLayout(music);
  const char* sourceTitles[4] = {"Song file", "Random song from folder", "URL", "Music library XML"};
  for (int i = 0; i < 4; ++i) {
    musicSelector[i] = new QCheckBox(tr(sourceTitles[i]), music);
    musicSelection[i] = new QLineEdit(music);
    grid->addWidget(musicSelector[i], i, 0);
    grid->addWidget(musicSelection[i], i, 1);
    // Turning one source on turns the others off, as the record does.
    connect(musicSelector[i], &QCheckBox::toggled, this, [this, i](bool on) {
      if (!on) return;
      for (int other = 0; other < 4; ++other) {
        if (other != i) musicSelector[other]->setChecked(false);
      }
    });
  }
  chooseFileButton = new QPushButton(tr("Choose…"), music);
  chooseFolderButton = new QPushButton(tr("Choose…"), music);
  chooseXMLButton = new QPushButton(tr("Choose…"), music);
  grid->addWidget(chooseFileButton, 0, 2);
  grid->addWidget(chooseFolderButton, 1, 2);
  grid->addWidget(chooseXMLButton, 3, 2);
  grid->setColumnStretch(1, 1);
  layout->addWidget(music);

  auto* expiry = new QHBoxLayout();
  alarmExpirationTime = new QLineEdit(this);
  alarmExpirationTime->setMaximumWidth(80);
  expiry->addWidget(new QLabel(tr("Music stops after"), this));
  expiry->addWidget(alarmExpirationTime);
  expiry->addWidget(new QLabel(tr("minutes"), this));
  expiry->addStretch(1);
  layout->addLayout(expiry);

  problem = new QLabel(this);
  problem->setObjectName(QStringLiteral("problem"));
  problem->setWordWrap(true);
  problem->setStyleSheet(QStringLiteral("color: #b00020;"));
  problem->hide();
  layout->addWidget(problem);

  auto* buttons = new QHBoxLayout();
  cancelButton = new QPushButton(tr("Cancel"), this);
  saveButton = new QPushButton(tr("Save"), this);
  saveButton->setDefault(true);
  buttons->addStretch(1);
  buttons->addWidget(cancelButton);
  buttons->addWidget(saveButton);
  layout->addLayout(buttons);
}

void TOLMSimpleAlarmSheet::showProblem(const QString& text) {
  problem->setText(text);
  problem->setVisible(!text.isEmpty());
}
