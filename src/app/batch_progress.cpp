#include "app/batch_progress.h"

#include <QCoreApplication>
#include <QPushButton>

#include "app/batch_report.h"
#include "widgets/fixed_form.h"

namespace tessimar {
namespace {

constexpr int FontPixels = 14;
constexpr int Width = 420;

QString Caption(std::size_t done, std::size_t total) {
  return QStringLiteral("正在处理重复图片：%1 / %2").arg(CountText(done), CountText(total));
}

}  // namespace

BatchProgressDialog::BatchProgressDialog(QWidget& window, std::size_t total) : dialog_(&window) {
  dialog_.setObjectName(QStringLiteral("BatchProgressDialog"));
  dialog_.setWindowTitle(QStringLiteral("批量处理"));
  dialog_.setFont(TahomaFont(FontPixels));
  dialog_.setWindowModality(Qt::ApplicationModal);
  auto* stop = new QPushButton(QStringLiteral("停止"));
  stop->setObjectName(QStringLiteral("StopButton"));
  dialog_.setCancelButton(stop);
  // The batch ends the dialog, not the last step.
  dialog_.setAutoClose(false);
  dialog_.setAutoReset(false);
  dialog_.setMinimumDuration(0);
  dialog_.setRange(0, static_cast<int>(total));
  dialog_.setLabelText(Caption(0, total));
  dialog_.setMinimumWidth(Width);
  dialog_.show();
  QCoreApplication::processEvents();
}

bool BatchProgressDialog::Step(const BatchProgress& progress) {
  dialog_.setValue(static_cast<int>(progress.Done));
  dialog_.setLabelText(Caption(progress.Done, progress.Total));
  QCoreApplication::processEvents();
  return !dialog_.wasCanceled();
}

}  // namespace tessimar
