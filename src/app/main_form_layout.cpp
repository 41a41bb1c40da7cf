// Building the main window: its regions, controls and menu, and the rules that place
// the central panel's contents when it changes size. The results pane builds its own
// controls into the central and bottom panels.
#include <QCheckBox>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

#include "app/clickable_label.h"
#include "app/form_parts.h"
#include "app/main_form.h"
#include "app/main_form_texts.h"
#include "app/results_pane.h"
#include "app/summary_labels.h"
#include "app/web_pages.h"
#include "widgets/fixed_form.h"

namespace tessimar {
namespace {

constexpr int ProgressLabelHeight = 32;

// A label placed at x, y at the size of its text.
QLabel* PlacedLabel(QWidget* parent, const char* name, const QString& text, int pixelSize, QPoint at) {
  QLabel* label = MakeLabel(parent, name, text, pixelSize);
  label->move(at);
  label->adjustSize();
  return label;
}

}  // namespace

void TMainForm::CreateMenu() {
  File1 = menuBar()->addMenu(QStringLiteral("文件"));
  File1->setObjectName("File1");
  StartSearch1 = File1->addAction(StartCaption, this, &TMainForm::StartButtonClick);
  StartSearch1->setObjectName("StartSearch1");
  SavelistofdupliacatestoCSV1 = File1->addAction(QStringLiteral("将重复列表保存到 CSV"));
  SavelistofdupliacatestoCSV1->setObjectName("SavelistofdupliacatestoCSV1");
  File1->addSeparator();
  BatchMenuItem = File1->addAction(QStringLiteral("批量处理重复图片…"));
  BatchMenuItem->setObjectName("BatchMenuItem");
  UndoBatchMenuItem = File1->addAction(QStringLiteral("撤销上次批量处理"));
  UndoBatchMenuItem->setObjectName("UndoBatchMenuItem");
  File1->addSeparator();
  File1->addAction(QStringLiteral("退出"), this, &TMainForm::Exit1Click)->setObjectName("Exit1");
  Settings1 = menuBar()->addAction(QStringLiteral("设置"), this, &TMainForm::Settings1Click);
  Settings1->setObjectName("Settings1");
  QMenu* help = menuBar()->addMenu(QStringLiteral("帮助"));
  help->setObjectName("Help1");
  help->addAction(QStringLiteral("如何使用"), [] { OpenPage(HowToUsePage()); })->setObjectName("Howtouse1");
  help->addAction(QStringLiteral("检查更新"), this, &TMainForm::CheckforUpdates1Click)
      ->setObjectName("CheckforUpdates1");
  help->addAction(QStringLiteral("访问官方网站"), [] { OpenPage(ProductPage()); })
      ->setObjectName("Visitprogramswebsite1");
  About1 = help->addAction(QStringLiteral("关于"), this, &TMainForm::About1Click);
  About1->setObjectName("About1");
  menuBar()->addAction(QStringLiteral("捐助"), [] { OpenPage(DonationPage()); })->setObjectName("Donate1");
}

QWidget* TMainForm::CreateTopPanel() {
  QFrame* top = MakePanel(nullptr, "TopPanel", Border::None, false);
  top->setMinimumHeight(78);
  QVBoxLayout* column = BareColumn(top);
  DirectoriesListBox = new QListWidget(top);
  DirectoriesListBox->setObjectName("DirectoriesListBox");
  DirectoriesListBox->setFont(TahomaFont(15));
  DirectoriesListBox->setSelectionMode(QAbstractItemView::SingleSelection);
  DirectoriesListBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  DirectoriesListBox->installEventFilter(this);
  column->addWidget(DirectoriesListBox);
  CreatePanel2(AddPanel(column, top, "Panel2", 63, Border::Flat));
  return top;
}

void TMainForm::CreatePanel2(QFrame* panel) {
  PlacedLabel(panel, "FoldersCaptionLabel", QStringLiteral("文件夹："), 28, {20, 12});
  AddFolderButton = MakeGlyphButton(panel, "AddFolderButton", Glyph::AddFolder, QStringLiteral("添加文件夹"),
                                    {143, 5, 47, 47});
  RemoveFolderButton = MakeGlyphButton(panel, "RemoveFolderButton", Glyph::RemoveFolder,
                                       QStringLiteral("删除选定的文件夹"), {197, 5, 48, 47});
  MoveFolderUpButton =
      MakeGlyphButton(panel, "MoveFolderUpButton", Glyph::MoveUp, QStringLiteral("上移"), {252, 5, 47, 47});
  MoveFolderDownButton =
      MakeGlyphButton(panel, "MoveFolderDownButton", Glyph::MoveDown, QStringLiteral("下移"), {307, 5, 47, 47});
  ClearDirectoriesButton = MakeGlyphButton(panel, "ClearDirectoriesButton", Glyph::ClearAll,
                                           QStringLiteral("清除所有"), {362, 5, 47, 47});
  StartButton = new QPushButton(StartCaption, panel);
  StartButton->setObjectName("StartButton");
  StartButton->setGeometry(433, 8, 148, 44);
  ScanSubfoldersCheckBox = new QCheckBox(panel);
  ScanSubfoldersCheckBox->setObjectName("ScanSubfoldersCheckBox");
  ScanSubfoldersCheckBox->setAccessibleName(QStringLiteral("扫描子目录"));
  ScanSubfoldersCheckBox->setGeometry(625, 18, 26, 23);
  ScanSubfoldersCheckBox->setChecked(true);
  Label1 = new ClickableLabel(QStringLiteral("扫描子目录"), panel);
  Label1->setObjectName("Label1");
  StyleLabel(*Label1, 15, Qt::white);
  Label1->move(647, 20);
  Label1->adjustSize();

  connect(AddFolderButton, &QToolButton::clicked, this, &TMainForm::AddFolderButtonClick);
  connect(RemoveFolderButton, &QToolButton::clicked, this, &TMainForm::RemoveFolderButtonClick);
  connect(MoveFolderUpButton, &QToolButton::clicked, this, &TMainForm::MoveFolderUpButtonClick);
  connect(MoveFolderDownButton, &QToolButton::clicked, this, &TMainForm::MoveFolderDownButtonClick);
  connect(ClearDirectoriesButton, &QToolButton::clicked, this, &TMainForm::ClearDirectoriesButtonClick);
  connect(StartButton, &QPushButton::clicked, this, &TMainForm::StartButtonClick);
  connect(Label1, &ClickableLabel::clicked, this, &TMainForm::Label1Click);
}

QWidget* TMainForm::CreateCentralPanel() {
  CentralPanel = MakePanel(nullptr, "CentralPanel", Border::None, true);
  CentralPanel->setMinimumHeight(131);
  CentralPanel->installEventFilter(this);
  CreateSearchPanel();
  return CentralPanel;
}

void TMainForm::CreateSearchPanel() {
  SearchPanel = MakePanel(CentralPanel, "SearchPanel", Border::Flat, true);
  SearchPanel->resize(0, 0);
  FilesCountLabel = MakeLabel(SearchPanel, "FilesCountLabel", QStringLiteral("扫描的图片总数：0 / 0"), 23);
  CurrentDuplicatesFoundLabel =
      MakeLabel(SearchPanel, "CurrentDuplicatesFoundLabel", QStringLiteral("找到的相似图片：0"), 23);
  TimeLabel = MakeLabel(SearchPanel, "TimeLabel", QStringLiteral("已用时间: 00:00:00"), 23);
  for (QLabel* label : {FilesCountLabel, CurrentDuplicatesFoundLabel, TimeLabel}) {
    label->setAlignment(Qt::AlignCenter);
  }
}

QWidget* TMainForm::CreateBottomPanel() {
  QFrame* bottom = MakePanel(nullptr, "BottomPanel", Border::None, false);
  bottom->setMinimumHeight(78);
  QVBoxLayout* column = BareColumn(bottom);
  QFrame* summary = AddPanel(column, bottom, "SummaryPanel", 52, Border::Flat);
  ScannedCountLabel = MakeLabel(summary, "ScannedCountLabel", QStringLiteral("扫描的文件：0"), 15);
  DuplicatesFoundLabel = MakeLabel(summary, "DuplicatesFoundLabel", QStringLiteral("发现重复：0"), 15);
  PlaceSummaryLabels(*ScannedCountLabel, *DuplicatesFoundLabel);
  return bottom;
}

// Screen readers name the regions and lists by these: they show no caption of their own.
void TMainForm::NameRegions() {
  const std::pair<const char*, const char*> names[] = {
      {"TopPanel", "要扫描的文件夹"},
      {"DirectoriesListBox", "文件夹列表"},
      {"Panel2", "文件夹工具栏"},
      {"Splitter1", "调整文件夹列表的高度"},
      {"CentralPanel", "预览"},
      {"SearchPanel", "扫描进度"},
      {"Splitter2", "调整重复列表的高度"},
      {"BottomPanel", "扫描结果"},
      {"SummaryPanel", "扫描摘要"},
  };
  for (const auto& [object, name] : names) {
    findChild<QWidget*>(QString::fromLatin1(object))->setAccessibleName(QString::fromUtf8(name));
  }
}

void TMainForm::FormResize() {
  pane_->SetPreviewWidth(CentralPanel->width());
  AlignCentralPanel();
}

// Places the progress labels while a scan runs; the panel then covers the preview.
void TMainForm::CentralPanelResize() {
  if (!scanning_) return;
  SearchPanel->resize(CentralPanel->width(), CentralPanel->height());
  const int top = SearchPanel->height() / 2 - 64;
  FilesCountLabel->setGeometry(0, top, SearchPanel->width(), ProgressLabelHeight);
  CurrentDuplicatesFoundLabel->setGeometry(0, top + 32, SearchPanel->width(), ProgressLabelHeight);
  TimeLabel->setGeometry(0, top + 64, SearchPanel->width(), ProgressLabelHeight);
  AlignCentralPanel();
}

// The progress panel along the top at its own height; the preview below it.
void TMainForm::AlignCentralPanel() {
  const int width = CentralPanel->width();
  const int top = SearchPanel->height();
  const int height = std::max(0, CentralPanel->height() - top);
  SearchPanel->setGeometry(0, 0, width, top);
  pane_->PlacePreview(QRect(0, top, width, height));
}

}  // namespace tessimar
