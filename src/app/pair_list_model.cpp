#include "app/pair_list_model.h"

#include <array>

namespace tessimar {
namespace {

const std::array<QString, 3> ColumnCaptions = {QStringLiteral("原图"), QStringLiteral("重复图片"),
                                               QStringLiteral("相似性")};

}  // namespace

void PairListModel::SetRowCount(int rows) {
  beginResetModel();
  rows_ = rows;
  endResetModel();
}

int PairListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int PairListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ColumnCaptions.size());
}

QVariant PairListModel::data(const QModelIndex&, int) const { return {}; }

QVariant PairListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return ColumnCaptions.at(static_cast<std::size_t>(section));
}

}  // namespace tessimar
