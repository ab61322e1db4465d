#include "alarms/TOLMAlarmsWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "platform/TOLMTableDataSourceModel.h"

TOLMAlarmsWindow::TOLMAlarmsWindow(QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("alarmsWindow"));
  setWindowTitle(QStringLiteral("Next Alarm Date: Never"));

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  // Identifier order is the data source's; the columns show name, next date, music, commands.
  model_ = new TOLMTableDataSourceModel({QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("2")},
                                        {tr("Name"), tr("Next Fire Date"), tr("Music"), tr("Commands")}, this);
  alarmsTable_ = new QTableView(central);
  alarmsTable_->setObjectName(QStringLiteral("alarmsTable"));
  alarmsTable_->setModel(model_);
  alarmsTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  alarmsTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  alarmsTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  alarmsTable_->verticalHeader()->hide();
  alarmsTable_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  alarmsTable_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  alarmsTable_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  alarmsTable_->horizontalHeader()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
  layout->addWidget(alarmsTable_);
  connect(alarmsTable_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.isValid()) emit rowDoubleClicked();
  });

  auto* buttons = new QHBoxLayout();
  newButton_ = new QPushButton(tr("New"), central);
  editButton_ = new QPushButton(tr("Edit"), central);
  cloneButton_ = new QPushButton(tr("Clone"), central);
  removeButton_ = new QPushButton(tr("Remove"), central);
  newButton_->setObjectName(QStringLiteral("newButton"));
  editButton_->setObjectName(QStringLiteral("editButton"));
  cloneButton_->setObjectName(QStringLiteral("cloneButton"));
  removeButton_->setObjectName(QStringLiteral("removeButton"));
  buttons->addWidget(newButton_);
  buttons->addWidget(editButton_);
  buttons->addWidget(cloneButton_);
  buttons->addStretch(1);
  buttons->addWidget(removeButton_);
  layout->addLayout(buttons);

  setCentralWidget(central);
  resize(560, 320);
}

int TOLMAlarmsWindow::selectedRow() const {
  const QItemSelectionModel* selection = alarmsTable_->selectionModel();
  if (!selection) return -1;
  const QModelIndexList rows = selection->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

void TOLMAlarmsWindow::selectRow(int row) {
  if (row < 0 || row >= model_->rowCount()) {
    alarmsTable_->clearSelection();
    return;
  }
  alarmsTable_->selectRow(row);
}
