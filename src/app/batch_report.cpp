#include "app/batch_report.h"

#include <QLocale>
#include <QStringList>

#include "platform/number_format.h"
#include "platform/size_text.h"

namespace tessimar {
namespace {

QString Details(const std::vector<BatchFailure>& failures) {
  QStringList lines;
  for (const BatchFailure& failure : failures)
    lines << QStringLiteral("%1：%2").arg(QString::fromStdString(failure.Path), QString::fromStdString(failure.Reason));
  return lines.join(u'\n');
}

QString Done(std::size_t count, BatchAction action, const std::string& folder) {
  switch (action) {
    case BatchAction::Trash:
      return QStringLiteral("已将 %1 个文件移至回收站。").arg(CountText(count));
    case BatchAction::MoveToFolder:
      return QStringLiteral("已将 %1 个文件移至 %2。").arg(CountText(count), QString::fromStdString(folder));
    case BatchAction::Delete:
      break;
  }
  return QStringLiteral("已永久删除 %1 个文件。").arg(CountText(count));
}

}  // namespace

QString CountText(std::size_t count) {
  return QString::fromStdString(FormatGrouped(static_cast<double>(count), QLocale().groupSeparator().toStdString()));
}

QString BytesText(std::int64_t bytes) { return QString::fromStdString(SizeText(bytes)); }

BatchReport RunReport(const BatchOutcome& outcome, BatchAction action, const std::string& folder) {
  QString text = outcome.Stopped ? QStringLiteral("批量处理已停止。") : QString();
  text += Done(outcome.Succeeded, action, folder);
  if (!outcome.Failures.empty())
    text += QStringLiteral("\n%1 个文件未能处理，原因见详细信息。").arg(CountText(outcome.Failures.size()));
  return {text, Details(outcome.Failures)};
}

BatchReport UndoReport(const UndoOutcome& outcome) {
  QString text = QStringLiteral("已恢复 %1 个文件。").arg(CountText(outcome.Restored));
  if (outcome.PassedOver > 0)
    text += QStringLiteral("\n%1 个文件已被其他程序恢复或清除，已跳过。").arg(CountText(outcome.PassedOver));
  if (!outcome.Failures.empty())
    text += QStringLiteral("\n%1 个文件未能恢复，原因见详细信息。").arg(CountText(outcome.Failures.size()));
  if (outcome.Restored > 0) text += QStringLiteral("\n请重新扫描，以再次查看这些重复图片。");
  return {text, Details(outcome.Failures)};
}

}  // namespace tessimar
