// Building the results pane: the two pictures of the preview with their action buttons,
// the similarity between them, the results list, and the rules that place them when the
// window changes size.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

#include "app/form_parts.h"
#include "app/pair_list_model.h"
#include "app/preview_image.h"
#include "app/results_pane.h"
#include "app/tessimar_application.h"

namespace tessimar {
namespace {

constexpr int BetweenImagesWidth = 79;
// What the two image panels leave of the preview's width besides each other.
constexpr int ImagePanelsAllowance = 60;
constexpr int ImageTextPanelHeight = 97;
constexpr int ImageLabelHeight = 29;
constexpr int ImageButtonsTop = 21;
constexpr QSize ImageButtonsSize(179, 68);

// One of the three action buttons under a picture, with its caption below it.
// stem: the action's part of the names, as "MoveImage"; side: "1" or "2".
QToolButton* AddImageAction(QWidget* panel, const QString& stem, const QString& side, Glyph glyph,
                            const QString& hint, const QString& caption, int x) {
  QToolButton* button = MakeGlyphButton(panel, qPrintable(stem + "Button" + side), glyph, hint, {x, 4, 47, 47});
  QLabel* label = MakeLabel(panel, qPrintable(stem + "Label" + side), caption, ActionCaptionPixels, CaptionGray);
  label->setGeometry(x, 47, 47, 20);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  return button;
}

}  // namespace

ResultsPane::ImageSide ResultsPane::CreateImageSide(QFrame& area, int side) {
  const QString n = QString::number(side);
  ImageSide parts;
  parts.Panel = MakePanel(&area, qPrintable("ImagePanel" + n), Border::Flat, false);
  QVBoxLayout* column = BareColumn(parts.Panel);
  parts.Image = new PreviewImage(parts.Panel);
  parts.Image->setObjectName(side == 1 ? "LeftImage" : "RightImage");
  parts.Image->setAccessibleName(side == 1 ? QStringLiteral("原图") : QStringLiteral("重复图片"));
  parts.Image->setAlignment(Qt::AlignCenter);
  parts.Image->setCursor(Qt::PointingHandCursor);
  parts.Image->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  auto* imageArea = new QVBoxLayout;
  imageArea->setContentsMargins(7, 7, 7, 7);
  imageArea->addWidget(parts.Image);
  column->addLayout(imageArea, 1);
  parts.TextPanel = AddPanel(column, parts.Panel, qPrintable("ImageTextPanel" + n), ImageTextPanelHeight,
                             Border::None);
  parts.TextPanel->installEventFilter(this);
  parts.Label = MakeLabel(parts.TextPanel, qPrintable("ImageLabel" + n), {}, 14);
  parts.Label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  parts.Label->setWordWrap(true);
  parts.ButtonsPanel = MakePanel(parts.TextPanel, qPrintable("ImageButtonsPanel" + n), Border::None, false);
  parts.ButtonsPanel->resize(ImageButtonsSize);
  QWidget* buttons = parts.ButtonsPanel;
  parts.MoveButton = AddImageAction(buttons, "MoveImage", n, Glyph::MoveFile, "移动文件", "移动", 12);
  parts.BrowseButton = AddImageAction(buttons, "BrowseImage", n, Glyph::BrowseFile, "浏览文件", "浏览", 67);
  parts.DeleteButton = AddImageAction(buttons, "DeleteImage", n, Glyph::DeleteFile, "删除文件", "删除", 122);
  return parts;
}

void ResultsPane::CreateBetweenImagesPanel(QFrame& area) {
  BetweenImagesPanel = MakePanel(&area, "BetweenImagesPanel", Border::None, false);
  QLabel* similarity = MakeLabel(BetweenImagesPanel, "SimilarityLabel", QStringLiteral("相似性"), 15);
  similarity->setGeometry(4, 21, 71, 17);
  similarity->setAlignment(Qt::AlignCenter);
  PercentLabel = MakeLabel(BetweenImagesPanel, "PercentLabel", {}, 23);
  PercentLabel->setGeometry(4, 46, 71, 42);
  PercentLabel->setAlignment(Qt::AlignCenter);
  SwapImagesButton = MakeGlyphButton(BetweenImagesPanel, "SwapImagesButton", Glyph::Swap,
                                     QStringLiteral("交换图像"), {13, 95, 47, 48});
}

void ResultsPane::CreateList(QWidget& panel) {
  listModel_ = new PairListModel(catalogue_, QLocale().groupSeparator(), this);
  ListView1 = new QTableView(&panel);
  ListView1->setObjectName("ListView1");
  ListView1->setModel(listModel_);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setShowGrid(true);
  ListView1->verticalHeader()->hide();
  // Rows of one height: the view never measures a row, however many there are.
  ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  ListView1->horizontalHeader()->setSectionsClickable(true);
  ListView1->horizontalHeader()->setSortIndicatorShown(false);
  ListView1->horizontalHeader()->setMinimumSectionSize(50);
  ListView1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  ListView1->installEventFilter(this);
  // Its width changes with the window and with the vertical scroll bar.
  ListView1->viewport()->installEventFilter(this);
  panel.layout()->addWidget(ListView1);
}

// Screen readers name the regions and lists by these: they show no caption of their own.
void ResultsPane::NameRegions() {
  const std::pair<QWidget*, const char*> names[] = {
      {side1_.Panel, "左侧图片"},
      {side1_.TextPanel, "左侧图片信息"},
      {side1_.ButtonsPanel, "左侧图片操作"},
      {BetweenImagesPanel, "相似性"},
      {side2_.Panel, "右侧图片"},
      {side2_.TextPanel, "右侧图片信息"},
      {side2_.ButtonsPanel, "右侧图片操作"},
      {ListView1, "重复列表"},
  };
  for (const auto& [widget, name] : names) widget->setAccessibleName(QString::fromUtf8(name));
}

void ResultsPane::Connect(QAction& saveList) {
  // A reset of the model gives the header its default widths again.
  connect(listModel_, &QAbstractItemModel::modelReset, this, &ResultsPane::SizeListColumns);
  connect(ListView1, &QTableView::clicked, this, [this] { ListView1Click(); });
  connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this](int column) { RunReported([&] { ListView1ColumnClick(column); }); });
  connect(SwapImagesButton, &QToolButton::clicked, this, [this] { RunReported([this] { SwapImagesButtonClick(); }); });
  connect(side1_.Image, &ClickableLabel::clicked, this, [this] { RunReported([this] { OpenPicture(1); }); });
  connect(side2_.Image, &ClickableLabel::clicked, this, [this] { RunReported([this] { OpenPicture(2); }); });
  for (const ImageSide* side : {&side1_, &side2_}) {
    const int n = side == &side1_ ? 1 : 2;
    connect(side->MoveButton, &QToolButton::clicked, this,
            [this, n] { RunReported([&] { MoveImageButtonClick(n); }); });
    connect(side->DeleteButton, &QToolButton::clicked, this,
            [this, n] { RunReported([&] { DeleteImageButtonClick(n); }); });
    connect(side->BrowseButton, &QToolButton::clicked, this,
            [this, n] { RunReported([&] { BrowseImageButtonClick(n); }); });
    for (QToolButton* button : {side->MoveButton, side->BrowseButton, side->DeleteButton})
      button->installEventFilter(this);
  }
  connect(&saveList, &QAction::triggered, this,
          [this] { RunReported([this] { SavelistofdupliacatestoCSV1Click(); }); });
  connect(&batchItem_, &QAction::triggered, this, [this] { RunReported([this] { BatchClick(); }); });
  connect(&undoItem_, &QAction::triggered, this, [this] { RunReported([this] { UndoBatchClick(); }); });
}

void ResultsPane::SetPreviewWidth(int width) {
  side1_.Panel->resize((width - ImagePanelsAllowance) / 2, side1_.Panel->height());
}

void ResultsPane::PlacePreview(const QRect& area) {
  const int leftWidth = side1_.Panel->width();
  side1_.Panel->setGeometry(area.x(), area.y(), leftWidth, area.height());
  BetweenImagesPanel->setGeometry(area.x() + leftWidth, area.y(), BetweenImagesWidth, area.height());
  const int rightLeft = area.x() + leftWidth + BetweenImagesWidth;
  side2_.Panel->setGeometry(rightLeft, area.y(), std::max(0, area.x() + area.width() - rightLeft), area.height());
}

// The info line along the top; the action buttons centred under the picture.
void ResultsPane::AlignImageTextPanel(const ImageSide& side) {
  const int width = side.TextPanel->width();
  side.Label->setGeometry(0, 0, width, ImageLabelHeight);
  side.ButtonsPanel->move((width - ImageButtonsSize.width()) / 2, ImageButtonsTop);
}

// An action button lights the caption under it while the pointer is over it.
void ResultsPane::LightCaption(QObject* button, bool lit) {
  const QString name = button->objectName().replace(QStringLiteral("Button"), QStringLiteral("Label"));
  if (auto* caption = window_.findChild<QLabel*>(name))
    StyleLabel(*caption, ActionCaptionPixels, lit ? QColor(Qt::white) : CaptionGray);
}

}  // namespace tessimar
