#pragma once

#include <QString>
#include <QVariant>

// What a table asks of the object that owns its rows. Columns are addressed by
// their identifier ("0", "1", ...), never by position, so a layout may order or
// hide columns freely. A value is shown as text, except a bool, which is shown
// as a check box.
class TOLMTableDataSource {
 public:
  virtual ~TOLMTableDataSource() = default;

  virtual int numberOfRowsInTableView() const = 0;
  virtual QVariant tableView_objectValueForTableColumn_row(const QString& identifier, int row) const = 0;
  virtual bool tableView_shouldEditTableColumn_row(const QString& /*identifier*/, int /*row*/) const {
    return false;
  }
  // Only called for cells the data source lets the user edit.
  virtual void tableView_setObjectValue_forTableColumn_row(const QVariant& /*value*/, const QString& /*identifier*/,
                                                          int /*row*/) {}
};
