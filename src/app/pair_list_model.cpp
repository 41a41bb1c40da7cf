#include "app/pair_list_model.h"

#include <array>

#include "catalogue/catalogue.h"
#include "platform/number_format.h"

namespace tessimar {
namespace {

const std::array<QString, 3> ColumnCaptions = {QStringLiteral("原图"), QStringLiteral("重复图片"),
                                               QStringLiteral("相似性")};

}  // namespace

PairListModel::PairListModel(const Catalogue& catalogue, QString groupSeparator, QObject* parent)
    : QAbstractTableModel(parent), catalogue_(catalogue), groupSeparator_(std::move(groupSeparator)) {}

void PairListModel::BeginUpdate() { beginResetModel(); }

void PairListModel::EndUpdate(int rows) {
  rows_ = rows;
  endResetModel();
}

void PairListModel::SetRowCount(int rows) {
  BeginUpdate();
  EndUpdate(rows);
}

void PairListModel::RowChanged(int row) {
  emit dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::DisplayRole});
}

int PairListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int PairListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ColumnCaptions.size());
}

QVariant PairListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_) return {};
  return CellText(index.row(), index.column());
}

// Built afresh at every call: nothing is cached, so a changed pair shows at the next redraw.
// Bytes of a name that are not UTF-8 show as replacement characters.
QString PairListModel::CellText(int row, int column) const {
  const TPicturePair& pair = catalogue_.PicturePairs.at(static_cast<std::size_t>(row));
  if (column == 2) return QString::fromStdString(FormatGrouped(pair.Similarity, groupSeparator_.toStdString()));
  return QString::fromStdString(catalogue_.FullPath(column == 0 ? pair.PicIndex1 : pair.PicIndex2));
}

QVariant PairListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return ColumnCaptions.at(static_cast<std::size_t>(section));
}

}  // namespace tessimar
