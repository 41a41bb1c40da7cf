// The results list, the preview of the selected pair and the sort by a column: the list
// shows the pair list as it stands; the preview follows the selection only where it is
// confirmed (a click, the release of an arrow key, the end of a scan, a file action).
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QTableView>
#include <QToolButton>
#include <QUrl>
#include <filesystem>
#include <utility>

#include "app/file_url.h"
#include "app/form_parts.h"
#include "app/main_form.h"
#include "app/main_form_texts.h"
#include "app/pair_list_model.h"
#include "app/preview_image.h"
#include "app/tessimar_application.h"
#include "app/web_pages.h"
#include "decode/preview_picture.h"
#include "platform/number_format.h"
#include "platform/path_text.h"
#include "platform/size_text.h"
#include "review/sort_procedures.h"

namespace tessimar {
namespace {

constexpr int PathColumnMinimum = 100;
constexpr int PathColumnMaximum = 800;
constexpr int SimilarityColumnWidth = 100;

QImage ToImage(const RgbPicture& picture) {
  QImage image(picture.Width, picture.Height, QImage::Format_RGB888);
  for (std::int32_t y = 0; y < picture.Height; ++y)
    std::copy_n(picture.Row(y), static_cast<std::size_t>(picture.Width) * 3, image.scanLine(y));
  return image;
}

// The type as the name gives it, whatever the content: "JPG" for a.jpg, "Jpeg" never.
QString TypeOf(const std::string& fileName) { return QString::fromStdString(UpperExtension(fileName)).mid(1); }

QString InfoLine(const TPicInfo& picture) {
  return TypeOf(picture.FileName) + "  " + QString::number(picture.Width) + " x " + QString::number(picture.Height) +
         "  " + QString::fromStdString(SizeText(picture.Size));
}

}  // namespace

void TMainForm::ConnectReview() {
  // A reset of the model gives the header its default widths again.
  connect(listModel_, &QAbstractItemModel::modelReset, this, &TMainForm::SizeListColumns);
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
  connect(SavelistofdupliacatestoCSV1, &QAction::triggered, this,
          [this] { RunReported([this] { SavelistofdupliacatestoCSV1Click(); }); });
}

int TMainForm::SelectedRow() const {
  const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

// While the pair list is rewritten the list neither asks for rows nor draws.
void TMainForm::BeginListUpdate() {
  ListView1->setUpdatesEnabled(false);
  listModel_->BeginUpdate();
}

void TMainForm::EndListUpdate(int rows) {
  listModel_->EndUpdate(rows);
  ListView1->setUpdatesEnabled(true);
}

void TMainForm::ListView1Click() { RunReported([this] { RefreshPreview(); }); }

// A picture that fails ends the refresh where it is: what was shown already stays.
void TMainForm::RefreshPreview() {
  const int row = SelectedRow();
  if (Busy() || listModel_->rowCount() == 0 || row < 0) return;
  const TPicturePair pair = catalogue_.PicturePairs.at(static_cast<std::size_t>(row));
  ShowPreviewPicture(side1_, pair.PicIndex1);
  ShowPreviewPicture(side2_, pair.PicIndex2);
  side1_.Label->setText(InfoLine(catalogue_.PicList.at(static_cast<std::size_t>(pair.PicIndex1))));
  side2_.Label->setText(InfoLine(catalogue_.PicList.at(static_cast<std::size_t>(pair.PicIndex2))));
  const std::string similarity = FormatGrouped(pair.Similarity, QLocale().groupSeparator().toStdString());
  PercentLabel->setText(QString::fromStdString(similarity) + "%");
}

void TMainForm::ShowPreviewPicture(const ImageSide& side, std::int32_t picture) {
  const TPicInfo& entry = catalogue_.PicList.at(static_cast<std::size_t>(picture));
  RgbPicture shown = LoadPreviewPicture(catalogue_.FullPath(picture), entry.Height, entry.Width);
  DrawFrame(shown);
  side.Image->SetPicture(ToImage(shown));
}

// Home and End go to the first and the last row, as in a list, not along the columns.
bool TMainForm::ListView1KeyDown(const QKeyEvent& key) {
  if (key.modifiers() != Qt::NoModifier || (key.key() != Qt::Key_Home && key.key() != Qt::Key_End)) return false;
  if (listModel_->rowCount() > 0) ListView1->selectRow(key.key() == Qt::Key_Home ? 0 : listModel_->rowCount() - 1);
  return true;
}

// Only the release of Up or Down refreshes, once, however long the key was held.
bool TMainForm::ListView1KeyUp(const QKeyEvent& key) {
  if (key.isAutoRepeat() || (key.key() != Qt::Key_Up && key.key() != Qt::Key_Down)) return false;
  if (listModel_->rowCount() > 0) ListView1Click();
  return false;
}

// The selection keeps its row index and the preview its pair. Nothing may change the
// pair list while the sort lets events through between its passes: the handlers that
// would are refused while sorting_ is set, and a close waits for the sort to end.
void TMainForm::ListView1ColumnClick(int column) {
  if (Busy() || catalogue_.PairListCapacity <= 0) return;
  SortReverse = column == SortColumn ? !SortReverse : false;
  const int selected = SelectedRow();
  sorting_ = true;
  BeginListUpdate();
  {
    const auto finish = qScopeGuard([&] {
      EndListUpdate(catalogue_.PairListCapacity);
      if (selected >= 0) ListView1->selectRow(selected);
      sorting_ = false;
    });
    SortPairsByColumn(catalogue_, column, SortReverse, [] { QCoreApplication::processEvents(); });
  }
  SortColumn = column;
  if (std::exchange(closeAfterSort_, false)) close();
}

// The two path columns share the width within their bounds; the similarity keeps its own.
void TMainForm::SizeListColumns() {
  const int shared = (ListView1->viewport()->width() - SimilarityColumnWidth) / 2;
  const int pathWidth = std::clamp(shared, PathColumnMinimum, PathColumnMaximum);
  QHeaderView* header = ListView1->horizontalHeader();
  header->resizeSection(0, pathWidth);
  header->resizeSection(1, pathWidth);
  header->resizeSection(2, SimilarityColumnWidth);
}

void TMainForm::SwapImagesButtonClick() {
  if (Busy()) return;
  const int row = SelectedRow();
  if (row < 0) {
    const QImage left = side1_.Image->Picture();
    side1_.Image->SetPicture(side2_.Image->Picture());
    side2_.Image->SetPicture(left);
    return;
  }
  catalogue_.SwapPairSides(row);
  listModel_->RowChanged(row);
  ListView1Click();
}

void TMainForm::OpenPicture(int side) {
  const int row = SelectedRow();
  if (Busy() || listModel_->rowCount() == 0 || row < 0) return;
  const TPicturePair& pair = catalogue_.PicturePairs.at(static_cast<std::size_t>(row));
  const std::string path = catalogue_.FullPath(side == 1 ? pair.PicIndex1 : pair.PicIndex2);
  std::error_code error;
  if (std::filesystem::exists(path, error)) OpenPage(FileUrl(path));
}

// An action button lights the caption under it while the pointer is over it.
void TMainForm::LightCaption(QObject* button, bool lit) {
  const QString name = button->objectName().replace(QStringLiteral("Button"), QStringLiteral("Label"));
  if (auto* caption = findChild<QLabel*>(name))
    StyleLabel(*caption, ActionCaptionPixels, lit ? QColor(Qt::white) : CaptionGray);
}

void TMainForm::ShowSamplePictures() {
  side1_.Image->SetPicture(QImage(QStringLiteral(":/samples/sample1.jpg")));
  side2_.Image->SetPicture(QImage(QStringLiteral(":/samples/sample2.jpg")));
  side1_.Label->setText(SampleInfoLine1);
  side2_.Label->setText(SampleInfoLine2);
  PercentLabel->setText(SamplePercent);
}

}  // namespace tessimar
