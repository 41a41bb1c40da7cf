#include "widgets/local_dates_model.h"

#include <QFileSystemModel>

namespace tessimar {
namespace {

// The column of QFileSystemModel that holds the modification date.
constexpr int DateModifiedColumn = 3;

}  // namespace

LocalDatesModel::LocalDatesModel(const QLocale& locale, QObject* parent)
    : QIdentityProxyModel(parent), locale_(locale) {}

QVariant LocalDatesModel::data(const QModelIndex& index, int role) const {
  const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
  if (files == nullptr || role != Qt::DisplayRole || index.column() != DateModifiedColumn) {
    return QIdentityProxyModel::data(index, role);
  }
  return locale_.toString(files->lastModified(mapToSource(index)), QLocale::ShortFormat);
}

}  // namespace tessimar
