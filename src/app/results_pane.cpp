// The results list, the preview of the selected pair and the sort by a column: the list
// shows the pair list as it stands; the preview follows the selection only where it is
// confirmed (a click, the release of an arrow key, the end of a scan, a file action).
#include "app/results_pane.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QScopeGuard>
#include <QTableView>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <utility>

#include "app/file_url.h"
#include "app/main_form_texts.h"
#include "app/pair_list_model.h"
#include "app/preview_image.h"
#include "app/results_pane_host.h"
#include "app/tessimar_application.h"
#include "app/web_pages.h"
#include "catalogue/catalogue.h"
#include "decode/preview_picture.h"
#include "platform/number_format.h"
#include "platform/path_text.h"
#include "platform/size_text.h"
#include "review/sort_procedures.h"
#include "settings/data_folder.h"
#include "settings/settings_store.h"

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

ResultsPane::ResultsPane(ResultsPaneHost& host, Catalogue& catalogue, const TSettings& settings,
                         TFolderDialog& folderDialog, ResultsPanePlaces places)
    : QObject(&places.Window),
      host_(host),
      catalogue_(catalogue),
      settings_(settings),
      folderDialog_(folderDialog),
      window_(places.Window),
      batchItem_(places.Batch),
      undoItem_(places.UndoBatch),
      journal_(DefaultJournalPath()),
      settingsFile_(DataFolder() + std::string(SettingsFileName)) {
  side1_ = CreateImageSide(places.PreviewArea, 1);
  CreateBetweenImagesPanel(places.PreviewArea);
  side2_ = CreateImageSide(places.PreviewArea, 2);
  CreateList(places.ListPanel);
  NameRegions();
  Connect(places.SaveList);
  ShowSamplePictures();
}

bool ResultsPane::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == side1_.TextPanel || watched == side2_.TextPanel) {
      AlignImageTextPanel(watched == side1_.TextPanel ? side1_ : side2_);
    } else if (ListView1 != nullptr && watched == ListView1->viewport()) {
      SizeListColumns();
    }
  } else if (watched == ListView1 && event->type() == QEvent::KeyPress) {
    return ListView1KeyDown(static_cast<const QKeyEvent&>(*event));
  } else if (watched == ListView1 && event->type() == QEvent::KeyRelease) {
    return ListView1KeyUp(static_cast<const QKeyEvent&>(*event));
  } else if ((event->type() == QEvent::Enter || event->type() == QEvent::Leave) &&
             watched->objectName().contains(QStringLiteral("ImageButton"))) {
    LightCaption(watched, event->type() == QEvent::Enter);
  }
  return QObject::eventFilter(watched, event);
}

void ResultsPane::BeginScan() {
  listModel_->SetRowCount(0);
  ListView1->setUpdatesEnabled(false);
}

void ResultsPane::EndScan(bool listPairs) {
  if (listPairs) listModel_->SetRowCount(catalogue_.PairCount());
  ListView1->setUpdatesEnabled(true);
}

void ResultsPane::ShowFirstPair() {
  if (listModel_->rowCount() == 0) return;
  ListView1->selectRow(0);
  ListView1Click();
}

void ResultsPane::ClearList() { listModel_->SetRowCount(0); }

void ResultsPane::SetEnabled(bool enabled) {
  for (QWidget* control : std::initializer_list<QWidget*>{
           SwapImagesButton, side1_.MoveButton, side1_.BrowseButton, side1_.DeleteButton, side2_.MoveButton,
           side2_.BrowseButton, side2_.DeleteButton, ListView1, side1_.Image, side2_.Image}) {
    control->setEnabled(enabled);
  }
  EnableBatchItems(enabled);
}

void ResultsPane::ShowNoPair() {
  side1_.Label->setText(NoPictureCaption);
  side2_.Label->setText(NoPictureCaption);
  PercentLabel->setText(ZeroPercentCaption);
  side1_.Image->ClearPicture();
  side2_.Image->ClearPicture();
}

bool ResultsPane::Busy() const { return host_.Scanning() || rewriting_; }

std::optional<ResultsPane::Selection> ResultsPane::Selected() const {
  const int row = SelectedRow();
  if (Busy() || listModel_->rowCount() == 0 || row < 0) return std::nullopt;
  return Selection{row, catalogue_.PicturePairs.at(static_cast<std::size_t>(row))};
}

int ResultsPane::SelectedRow() const {
  const QModelIndexList rows = ListView1->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.front().row();
}

// While the pair list is rewritten the list neither asks for rows nor draws.
void ResultsPane::BeginListUpdate() {
  ListView1->setUpdatesEnabled(false);
  listModel_->BeginUpdate();
}

void ResultsPane::EndListUpdate(int rows) {
  listModel_->EndUpdate(rows);
  ListView1->setUpdatesEnabled(true);
}

void ResultsPane::ListView1Click() { RunReported([this] { RefreshPreview(); }); }

// A picture that fails ends the refresh where it is: what was shown already stays.
void ResultsPane::RefreshPreview() {
  const auto selected = Selected();
  if (!selected) return;
  ShowPreviewPicture(side1_, selected->Picture(1));
  ShowPreviewPicture(side2_, selected->Picture(2));
  side1_.Label->setText(InfoLine(catalogue_.PicList.at(static_cast<std::size_t>(selected->Picture(1)))));
  side2_.Label->setText(InfoLine(catalogue_.PicList.at(static_cast<std::size_t>(selected->Picture(2)))));
  const std::string similarity = FormatGrouped(selected->Pair.Similarity, QLocale().groupSeparator().toStdString());
  PercentLabel->setText(QString::fromStdString(similarity) + "%");
}

void ResultsPane::ShowPreviewPicture(const ImageSide& side, std::int32_t picture) {
  const TPicInfo& entry = catalogue_.PicList.at(static_cast<std::size_t>(picture));
  RgbPicture shown = LoadPreviewPicture(catalogue_.FullPath(picture), entry.Height, entry.Width);
  DrawFrame(shown);
  side.Image->SetPicture(ToImage(shown));
}

// Home and End go to the first and the last row, as in a list, not along the columns.
bool ResultsPane::ListView1KeyDown(const QKeyEvent& key) {
  if (key.modifiers() != Qt::NoModifier || (key.key() != Qt::Key_Home && key.key() != Qt::Key_End)) return false;
  if (listModel_->rowCount() > 0) ListView1->selectRow(key.key() == Qt::Key_Home ? 0 : listModel_->rowCount() - 1);
  return true;
}

// Only the release of Up or Down refreshes, once, however long the key was held.
bool ResultsPane::ListView1KeyUp(const QKeyEvent& key) {
  if (key.isAutoRepeat() || (key.key() != Qt::Key_Up && key.key() != Qt::Key_Down)) return false;
  if (listModel_->rowCount() > 0) ListView1Click();
  return false;
}

// The selection keeps its row index and the preview its pair. Nothing may change the
// pair list while the sort lets events through between its passes: the handlers that
// would are refused while rewriting_ is set, and a close waits for the sort to end.
void ResultsPane::ListView1ColumnClick(int column) {
  if (Busy() || catalogue_.PairListCapacity <= 0) return;
  SortReverse = column == SortColumn ? !SortReverse : false;
  const int selected = SelectedRow();
  rewriting_ = true;
  BeginListUpdate();
  {
    const auto finish = qScopeGuard([&] {
      EndListUpdate(catalogue_.PairListCapacity);
      if (selected >= 0) ListView1->selectRow(selected);
      rewriting_ = false;
    });
    SortPairsByColumn(catalogue_, column, SortReverse, [] { QCoreApplication::processEvents(); });
  }
  SortColumn = column;
  if (std::exchange(closeAfterRewrite_, false)) window_.close();
}

// The two path columns share the width within their bounds; the similarity keeps its own.
void ResultsPane::SizeListColumns() {
  const int shared = (ListView1->viewport()->width() - SimilarityColumnWidth) / 2;
  const int pathWidth = std::clamp(shared, PathColumnMinimum, PathColumnMaximum);
  QHeaderView* header = ListView1->horizontalHeader();
  header->resizeSection(0, pathWidth);
  header->resizeSection(1, pathWidth);
  header->resizeSection(2, SimilarityColumnWidth);
}

void ResultsPane::SwapImagesButtonClick() {
  if (Busy()) return;
  const auto selected = Selected();
  if (!selected) {
    const QImage left = side1_.Image->Picture();
    side1_.Image->SetPicture(side2_.Image->Picture());
    side2_.Image->SetPicture(left);
    return;
  }
  catalogue_.SwapPairSides(selected->Row);
  listModel_->RowChanged(selected->Row);
  ListView1Click();
}

void ResultsPane::OpenPicture(int side) {
  const auto selected = Selected();
  if (!selected) return;
  const std::string path = catalogue_.FullPath(selected->Picture(side));
  std::error_code error;
  if (std::filesystem::exists(path, error)) OpenPage(FileUrl(path));
}

void ResultsPane::ShowSamplePictures() {
  side1_.Image->SetPicture(QImage(QStringLiteral(":/samples/sample1.jpg")));
  side2_.Image->SetPicture(QImage(QStringLiteral(":/samples/sample2.jpg")));
  side1_.Label->setText(SampleInfoLine1);
  side2_.Label->setText(SampleInfoLine2);
  PercentLabel->setText(SamplePercent);
}

}  // namespace tessimar
