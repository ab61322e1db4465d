#pragma once

#include <QAbstractTableModel>
#include <QStringList>

class TOLMTableDataSource;

// The one table model of the program: it holds no rows itself and forwards
// every question to a data source by column identifier.
class TOLMTableDataSourceModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // identifiers[i] is the identifier of column i, titles[i] its header.
  TOLMTableDataSourceModel(QStringList identifiers, QStringList titles, QObject* parent = nullptr);

  // The source is not owned; null shows no rows.
  void setDataSource(TOLMTableDataSource* source);
  TOLMTableDataSource* dataSource() const { return source_; }
  QString identifierForColumn(int column) const;
  int columnForIdentifier(const QString& identifier) const;

  // The rows changed: keeps the selection when the row count is the same.
  void reloadData();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  QVariant valueAt(const QModelIndex& index) const;

  QStringList identifiers_;
  QStringList titles_;
  TOLMTableDataSource* source_ = nullptr;
  int shownRows_ = 0;
};
