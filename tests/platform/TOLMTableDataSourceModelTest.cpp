#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QTableView>
#include <string>
#include <vector>

#include "platform/TOLMTableDataSource.h"
#include "platform/TOLMTableDataSourceModel.h"

namespace {

// Rows of a name (editable), a fixed note and a flag shown as a check box.
class Rows : public TOLMTableDataSource {
 public:
  struct Row {
    QString name;
    bool flag;
  };
  std::vector<Row> rows;

  int numberOfRowsInTableView() const override { return static_cast<int>(rows.size()); }
  QVariant tableView_objectValueForTableColumn_row(const QString& identifier, int row) const override {
    const Row& r = rows[static_cast<std::size_t>(row)];
    if (identifier == "0") return r.name;
    if (identifier == "2") return r.flag;
    return QStringLiteral("note %1").arg(row);
  }
  bool tableView_shouldEditTableColumn_row(const QString& identifier, int) const override {
    return identifier != "1";
  }
  void tableView_setObjectValue_forTableColumn_row(const QVariant& value, const QString& identifier,
                                                  int row) override {
    Row& r = rows[static_cast<std::size_t>(row)];
    if (identifier == "0") r.name = value.toString();
    if (identifier == "2") r.flag = value.toBool();
  }
};

TEST(TableDataSourceModel, CellsAreAskedAndEditedByIdentifierWhateverTheColumnOrder) {
  Rows source;
  source.rows = {{"alpha", false}, {"beta", true}};
  // Columns shown as flag, name, note.
  TOLMTableDataSourceModel model({"2", "0", "1"}, {"On", "Name", "Note"});
  model.setDataSource(&source);

  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Name");
  EXPECT_EQ(model.data(model.index(1, 1)).toString(), "beta");
  EXPECT_EQ(model.data(model.index(1, 2)).toString(), "note 1");
  EXPECT_EQ(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
  EXPECT_FALSE(model.data(model.index(1, 0)).isValid());  // a check box shows no text

  EXPECT_TRUE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);
  EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
  EXPECT_FALSE(model.flags(model.index(0, 2)) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable));

  EXPECT_TRUE(model.setData(model.index(0, 1), "gamma"));
  EXPECT_TRUE(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
  EXPECT_FALSE(model.setData(model.index(0, 2), "no"));
  EXPECT_EQ(source.rows[0].name, "gamma");
  EXPECT_TRUE(source.rows[0].flag);
}

TEST(TableDataSourceModel, AReloadKeepsTheSelectionUnlessTheRowsChangeInNumber) {
  Rows source;
  source.rows = {{"a", false}, {"b", false}, {"c", false}};
  TOLMTableDataSourceModel model({"0"}, {"Name"});
  model.setDataSource(&source);
  QTableView view;
  view.setModel(&model);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.selectRow(1);

  source.rows[1].name = "B";
  model.reloadData();
  ASSERT_EQ(view.selectionModel()->selectedRows().size(), 1);
  EXPECT_EQ(view.selectionModel()->selectedRows()[0].row(), 1);
  EXPECT_EQ(model.data(model.index(1, 0)).toString(), "B");

  // Rows removed behind the model's back are never read past the end.
  source.rows.pop_back();
  EXPECT_FALSE(model.data(model.index(2, 0)).isValid());
  model.reloadData();
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_TRUE(view.selectionModel()->selectedRows().isEmpty());
}

}  // namespace
