// The words of the batch clean-up: counts and sizes as the window writes them, and what a
// batch or an undo did, with every failure listed apart.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "review/batch_run.h"
#include "review/batch_undo.h"

namespace tessimar {

// A count with its digits grouped: "1,234".
QString CountText(std::size_t count);
// Bytes as the preview's information line shows a file's size.
QString BytesText(std::int64_t bytes);

struct BatchReport {
  QString Text;
  QString Details;  // one failure a line, "path: reason"; empty without failures
};

// folder: the destination of MoveToFolder.
BatchReport RunReport(const BatchOutcome& outcome, BatchAction action, const std::string& folder);
BatchReport UndoReport(const UndoOutcome& outcome);

}  // namespace tessimar
