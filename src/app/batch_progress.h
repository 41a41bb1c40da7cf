// The progress of a running batch clean-up: a modal bar with a Stop button, which each
// step of the batch lets through.
#pragma once

#include <QProgressDialog>
#include <cstddef>

#include "review/batch_run.h"

namespace tessimar {

class BatchProgressDialog {
 public:
  BatchProgressDialog(QWidget& window, std::size_t total);

  // Shows how far the batch is and lets events through; false once Stop was pressed.
  bool Step(const BatchProgress& progress);

 private:
  QProgressDialog dialog_;
};

}  // namespace tessimar
