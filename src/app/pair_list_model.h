// The rows of the results list. The list is virtual: its row count is set from outside
// (the number of pairs) and each row's texts are built from the catalogue when the view
// asks for them, so that any number of pairs costs no memory here.
#pragma once

#include <QAbstractTableModel>
#include <QString>

namespace tessimar {

class Catalogue;

class PairListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // groupSeparator: the digit-group separator of the similarity column.
  PairListModel(const Catalogue& catalogue, QString groupSeparator, QObject* parent = nullptr);

  // The update bracket around a change of the pair list: between the two calls the view
  // asks for no row, and EndUpdate sets the new row count.
  void BeginUpdate();
  void EndUpdate(int rows);
  void SetRowCount(int rows);
  // Has the view draw row again after its pair changed.
  void RowChanged(int row);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  QString CellText(int row, int column) const;

  const Catalogue& catalogue_;
  QString groupSeparator_;
  int rows_ = 0;
};

}  // namespace tessimar
