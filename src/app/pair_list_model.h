// The rows of the results list. The list is virtual: its row count is set from outside
// (the number of pairs) and no row is stored here.
#pragma once

#include <QAbstractTableModel>

namespace tessimar {

class PairListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  void SetRowCount(int rows);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  int rows_ = 0;
};

}  // namespace tessimar
