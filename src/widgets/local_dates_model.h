// Shows the modification dates of a file dialog's files in a chosen locale: Qt's file
// system model writes them in the system's, the C locale's English where the user has
// chosen none.
#pragma once

#include <QIdentityProxyModel>
#include <QLocale>

namespace tessimar {

class LocalDatesModel : public QIdentityProxyModel {
 public:
  LocalDatesModel(const QLocale& locale, QObject* parent);

  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const QLocale locale_;
};

}  // namespace tessimar
