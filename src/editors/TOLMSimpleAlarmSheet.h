#pragma once

#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The simple alarm editor's layout: a window-modal sheet on the alarm window.
class TOLMSimpleAlarmSheet : public QDialog {
  Q_OBJECT
 public:
  explicit TOLMSimpleAlarmSheet(QWidget* window);

  QCheckBox* alarmIsEnabled = nullptr;
  // Sunday first: sun, mon, tue, wed, thur, fri, sat.
  std::array<QCheckBox*, 7> days{};
  QLineEdit* timeOfDay = nullptr;
  QLineEdit* name = nullptr;
  QLineEdit* message = nullptr;
  // Rows: single file, random file from a folder, URL, music library XML. At
  // most one is on, as in the record; none is allowed.
  std::array<QCheckBox*, 4> musicSelector{};
  std::array<QLineEdit*, 4> musicSelection{};
  QPushButton* chooseFileButton = nullptr;
  QPushButton* chooseFolderButton = nullptr;
  QPushButton* chooseXMLButton = nullptr;
  QLineEdit* alarmExpirationTime = nullptr;
  QLabel* problem = nullptr;
  QPushButton* saveButton = nullptr;
  QPushButton* cancelButton = nullptr;

  // Shows what keeps the sheet from saving; an empty text hides it.
  void showProblem(const QString& text);
};
