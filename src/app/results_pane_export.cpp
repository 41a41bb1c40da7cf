// Saving the pair list, in its current order, as the CSV file other programs read.
#include <QFileDialog>
#include <QFileInfo>
#include <cstring>
#include <sstream>

#include "app/main_form_texts.h"
#include "app/message_boxes.h"
#include "app/results_pane.h"
#include "platform/file_replacement.h"
#include "review/csv_export.h"

namespace tessimar {

// During a scan the pair list is empty until the scan ends, which the export says; during
// a sort or a batch the pairs are being rewritten, and the command is passed over.
void ResultsPane::SavelistofdupliacatestoCSV1Click() {
  if (rewriting_) return;
  if (!Selected()) {
    Messages().Error(&window_, EmptyListMessage);
    return;
  }
  const QString fileName = AskCsvFileName();
  if (fileName.isEmpty()) return;
  if (QFileInfo::exists(fileName) && !Messages().Ask(&window_, ReplaceQuestion.arg(fileName))) return;
  std::ostringstream text;
  WritePairsCsv(text, catalogue_, QLocale().groupSeparator().toStdString());
  // Written beside and renamed over: a failed export never leaves half a file.
  try {
    FileReplacement(fileName.toStdString()).Commit(text.str());
  } catch (const FileWriteError& error) {
    Messages().Error(&window_, CreateFailedMessage.arg(fileName, QString::fromUtf8(std::strerror(error.Code))));
  }
}

// The chosen file, the default extension added; empty when cancelled.
QString ResultsPane::AskCsvFileName() {
  if (SaveCSVFileDialog == nullptr) {
    SaveCSVFileDialog = new QFileDialog(&window_, QStringLiteral("将重复项列表保存到 CSV 文件"));
    SaveCSVFileDialog->setObjectName(QStringLiteral("SaveCSVFileDialog"));
    SaveCSVFileDialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    SaveCSVFileDialog->setAcceptMode(QFileDialog::AcceptSave);
    SaveCSVFileDialog->setFileMode(QFileDialog::AnyFile);
    SaveCSVFileDialog->setNameFilters({QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral("任何文件 (*.*)")});
    SaveCSVFileDialog->setDefaultSuffix(QStringLiteral("csv"));
  }
  if (SaveCSVFileDialog->exec() != QDialog::Accepted) return {};
  const QStringList chosen = SaveCSVFileDialog->selectedFiles();
  return chosen.isEmpty() ? QString() : chosen.front();
}

}  // namespace tessimar
