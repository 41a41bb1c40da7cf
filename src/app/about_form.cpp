#include "app/about_form.h"

#include <QLabel>
#include <QPushButton>

#include "app/glyphs.h"
#include "app/link_label.h"
#include "app/web_pages.h"
#include "widgets/fixed_form.h"

namespace tessimar {
namespace {

constexpr QSize ClientSize(594, 303);
constexpr int PictureSide = 84;
constexpr int TextLeft = 167;
const QColor LinkColour(0x27, 0x59, 0xAD);

LinkLabel* AddLink(QWidget* parent, const char* name, const QString& text, int top) {
  auto* link = new LinkLabel(text, parent);
  link->setObjectName(name);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(15);
  font.setBold(true);
  font.setUnderline(true);
  link->setFont(font);
  QPalette palette = link->palette();
  palette.setColor(QPalette::WindowText, LinkColour);
  link->setPalette(palette);
  link->move(TextLeft, top);
  link->adjustSize();
  return link;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName("AboutForm");
  setWindowTitle(QStringLiteral("关于Tessimar"));
  setFont(TahomaFont(14));
  setFixedSize(ClientSize);
  auto* picture = new QLabel(this);
  picture->setObjectName("Image1");
  picture->setGeometry(42, 31, PictureSide, PictureSide);
  picture->setPixmap(ProductPicture(PictureSide));
  PlaceLabel(this, "Label1", QStringLiteral("Tessimar"), {TextLeft, 31});
  PlaceLabel(this, "Version", QStringLiteral("版本 V" TESSIMAR_VERSION), {TextLeft, 67});
  PlaceLabel(this, "Label2", QStringLiteral("Copyright © 2024 Tessimar. 保留所有权利。"), {TextLeft, 102});
  CreateLinks();
  ok_ = PlaceButton(this, "OKButton", QStringLiteral("确定"), {194, 226, 179, 43});
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

// The site link shows the bare address but opens the product page.
void TAboutForm::CreateLinks() {
  connect(AddLink(this, "SiteLabel", SiteAddress(), 137), &LinkLabel::clicked, [] { OpenPage(ProductPage()); });
  connect(AddLink(this, "Label3", SupportMail().toString(), 173), &LinkLabel::clicked,
          [] { OpenPage(SupportMail()); });
}

// Each opening starts on OK, so that Enter closes the box; Tab leads to the links.
void TAboutForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ok_->setFocus();
  CentreOnScreen(*this);
}

}  // namespace tessimar
