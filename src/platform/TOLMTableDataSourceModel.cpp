#include "platform/TOLMTableDataSourceModel.h"

#include "platform/TOLMTableDataSource.h"

TOLMTableDataSourceModel::TOLMTableDataSourceModel(QStringList identifiers, QStringList titles, QObject* parent)
    : QAbstractTableModel(parent), identifiers_(std::move(identifiers)), titles_(std::move(titles)) {}

void TOLMTableDataSourceModel::setDataSource(TOLMTableDataSource* source) {
  beginResetModel();
  source_ = source;
  shownRows_ = source_ ? source_->numberOfRowsInTableView() : 0;
  endResetModel();
}

QString TOLMTableDataSourceModel::identifierForColumn(int column) const {
  return column >= 0 && column < identifiers_.size() ? identifiers_[column] : QString();
}

int TOLMTableDataSourceModel::columnForIdentifier(const QString& identifier) const {
  return static_cast<int>(identifiers_.indexOf(identifier));
}

void TOLMTableDataSourceModel::reloadData() {
  const int rows = source_ ? source_->numberOfRowsInTableView() : 0;
  if (rows != shownRows_) {
    // The view only learns of a new row count through a reset.
    beginResetModel();
    shownRows_ = rows;
    endResetModel();
  } else if (rows > 0 && !identifiers_.isEmpty()) {
    emit dataChanged(index(0, 0), index(rows - 1, static_cast<int>(identifiers_.size()) - 1));
  }
}

int TOLMTableDataSourceModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shownRows_;
}

int TOLMTableDataSourceModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(identifiers_.size());
}

QVariant TOLMTableDataSourceModel::valueAt(const QModelIndex& index) const {
  // The source may have changed since the last reload; never ask past its end.
  if (!source_ || !index.isValid() || index.row() >= source_->numberOfRowsInTableView()) return {};
  return source_->tableView_objectValueForTableColumn_row(identifierForColumn(index.column()), index.row());
}

QVariant TOLMTableDataSourceModel::data(const QModelIndex& index, int role) const {
  const QVariant value = valueAt(index);
  if (!value.isValid()) return {};
  const bool isCheck = value.typeId() == QMetaType::Bool;
  if (isCheck) return role == Qt::CheckStateRole ? QVariant(value.toBool() ? Qt::Checked : Qt::Unchecked) : QVariant();
  if (role == Qt::DisplayRole || role == Qt::EditRole) return value.toString();
  return {};
}

bool TOLMTableDataSourceModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable))) return false;
  QVariant delivered;
  if (role == Qt::CheckStateRole) {
    delivered = QVariant(value.toInt() == Qt::Checked);
  } else if (role == Qt::EditRole) {
    delivered = value;
  } else {
    return false;
  }
  const QString identifier = identifierForColumn(index.column());
  source_->tableView_setObjectValue_forTableColumn_row(delivered, identifier, index.row());
  // An edit may re-sort or resize the list.
  reloadData();
  return true;
}

Qt::ItemFlags TOLMTableDataSourceModel::flags(const QModelIndex& index) const {
  const QVariant value = valueAt(index);
  if (!value.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (source_->tableView_shouldEditTableColumn_row(identifierForColumn(index.column()), index.row())) {
    result |= value.typeId() == QMetaType::Bool ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
  }
  return result;
}

QVariant TOLMTableDataSourceModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return section >= 0 && section < titles_.size() ? titles_[section] : QString();
  return section + 1;
}
