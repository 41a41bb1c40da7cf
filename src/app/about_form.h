// The About box: the product's name, version, copyright line, and links to the product
// page and the support mail address.
#pragma once

#include <QDialog>

class QPushButton;

namespace tessimar {

class TAboutForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutForm(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateLinks();

  QPushButton* ok_ = nullptr;
};

}  // namespace tessimar
