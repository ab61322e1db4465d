#pragma once

#include <QMainWindow>

class QPushButton;
class QTableView;
class TOLMTableDataSourceModel;

// The alarm window's layout: the alarm table and its four buttons. The shell
// adds the menu bar; the controller connects the buttons and sets the title.
class TOLMAlarmsWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit TOLMAlarmsWindow(QWidget* parent = nullptr);

  QTableView* alarmsTable() const { return alarmsTable_; }
  TOLMTableDataSourceModel* tableModel() const { return model_; }
  QPushButton* newButton() const { return newButton_; }
  QPushButton* editButton() const { return editButton_; }
  QPushButton* removeButton() const { return removeButton_; }
  QPushButton* cloneButton() const { return cloneButton_; }

  // The selected row, or -1.
  int selectedRow() const;
  void selectRow(int row);

 signals:
  void rowDoubleClicked();

 private:
  QTableView* alarmsTable_;
  TOLMTableDataSourceModel* model_;
  QPushButton* newButton_;
  QPushButton* editButton_;
  QPushButton* removeButton_;
  QPushButton* cloneButton_;
};
