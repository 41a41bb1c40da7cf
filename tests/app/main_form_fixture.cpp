#include "main_form_fixture.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QListWidget>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <filesystem>
#include <fstream>

#include "file_state.h"

namespace tessimar::testing {

MainFormTest::MainFormTest() {
  std::filesystem::create_directories(isolated.ConfigHome() + "Tessimar");
  pumpWatch_.setInterval(0);
}

std::string MainFormTest::IniPath() const { return isolated.ConfigHome() + "Tessimar/Tessimar.ini"; }

void MainFormTest::WriteSettings(const std::string& text) const { std::ofstream(IniPath()) << text; }

std::string MainFormTest::ReadSettingsFile() const { return ReadFileBytes(IniPath()); }

TMainForm& MainFormTest::Start(QUrl versionUrl) {
  window = std::make_unique<TMainForm>(std::move(versionUrl), QUrl(QStringLiteral("http://127.0.0.1:9/")));
  window->show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get(), DeadlineMs));
  return *window;
}

QStringList MainFormTest::Folders() const {
  QStringList folders;
  auto& list = Find<QListWidget>("DirectoriesListBox");
  for (int i = 0; i < list.count(); ++i) folders << list.item(i)->text();
  return folders;
}

void MainFormTest::SelectFolder(int row) const {
  auto& list = Find<QListWidget>("DirectoriesListBox");
  list.clearSelection();
  if (row >= 0) list.item(row)->setSelected(true);
}

void MainFormTest::Click(const char* name) const { QTest::mouseClick(&Find<QAbstractButton>(name), Qt::LeftButton); }

// Sent to the window as the window system delivers a drag, so the window itself finds
// the control under the point and whoever takes the drop.
void MainFormTest::Drop(const QStringList& paths, const char* onto) const {
  QMimeData data;
  QList<QUrl> dropped;
  for (const QString& path : paths) dropped << QUrl::fromLocalFile(path);
  data.setUrls(dropped);
  QWidget& target = Find<QWidget>(onto);
  const QPoint at = target.mapTo(window.get(), target.rect().center());
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window->windowHandle(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window->windowHandle(), &drop);
}

void MainFormTest::AddFolder(const QString& folder) const { AnswerFolderBrowser(folder, "AddFolderButton"); }

void MainFormTest::AnswerFolderBrowser(const QString& folder, const char* button) const {
  bool answered = false;
  QTimer::singleShot(0, [&answered, folder] {
    auto* browser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (browser == nullptr) return;
    answered = true;
    if (folder.isEmpty()) return browser->reject();
    browser->selectFile(folder);
    auto* buttons = browser->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
    if (browser->isVisible()) browser->reject();
  });
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, [] {
    if (QWidget* open = QApplication::activeModalWidget()) open->close();
  });
  deadline.start(DeadlineMs);
  Click(button);
  EXPECT_TRUE(answered) << "no folder browser opened";
}

void MainFormTest::AtPump(std::function<bool()> ready, std::function<void()> action) {
  pumpWatch_.disconnect();
  QObject::connect(&pumpWatch_, &QTimer::timeout, [this, ready = std::move(ready), action = std::move(action)] {
    if (!ready()) return;
    pumpWatch_.stop();
    action();
  });
  pumpWatch_.start();
}

void MainFormTest::StopPumpWatch() {
  pumpWatch_.stop();
  pumpWatch_.disconnect();
}

void MainFormTest::PressStart() const { Click("StartButton"); }

std::vector<RecordingMessageBoxes::Box> MainFormTest::BoxesOf(RecordingMessageBoxes::Kind kind) const {
  std::vector<RecordingMessageBoxes::Box> found;
  for (const auto& box : boxes.Boxes) {
    if (box.kind == kind) found.push_back(box);
  }
  return found;
}

namespace {

void SavePicture(const std::string& path, int pattern) {
  QImage picture(200, 150, QImage::Format_RGB32);
  QPainter painter(&picture);
  painter.fillRect(picture.rect(), QColor::fromHsv((pattern * 67) % 360, 200, 220));
  painter.setBrush(Qt::black);
  for (int i = 0; i <= pattern; ++i) painter.drawEllipse(QPoint(20 + 37 * i % 180, 20 + 53 * i % 120), 18, 12);
  painter.end();
  ASSERT_TRUE(picture.save(QString::fromStdString(path), "JPG"));
}

}  // namespace

std::string PictureFolder(const TempFolder& temp, const std::string& name, int extraPictures) {
  const std::string folder = temp.MakeFolder(name);
  SavePicture(folder + "a.jpg", 0);
  std::filesystem::copy_file(folder + "a.jpg", folder + "b.jpg");
  for (int i = 1; i <= extraPictures; ++i) SavePicture(folder + "c" + std::to_string(i) + ".jpg", i * 3);
  return folder;
}

}  // namespace tessimar::testing
