// A batch clean-up acting on the planned pictures one by one, each only while the other
// picture of its pair is still there as scanned.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "review/batch_journal.h"
#include "review/batch_plan.h"

namespace tessimar {

enum class BatchAction { Trash, MoveToFolder, Delete };

struct BatchFailure {
  std::string Path;
  std::string Reason;  // short, in the window's Chinese
  friend bool operator==(const BatchFailure&, const BatchFailure&) = default;
};

struct BatchProgress {
  std::size_t Done = 0;
  std::size_t Total = 0;
};

struct BatchOutcome {
  std::size_t Succeeded = 0;
  std::vector<BatchFailure> Failures;
  bool Stopped = false;
};

// Acts on the targets in order. Before each action the target must still be the scanned
// file, and its keeper must still exist as scanned: same device and inode, same size and
// same modification time; otherwise it is a failure and the batch goes on. A success takes
// the picture's pairs out of the catalogue (RemovePicturePairs) and, for the trash or a move,
// is recorded in the journal, which the batch begins anew. folder: the destination of
// MoveToFolder, ending in '/'. onStep runs after each target; returning false stops the batch
// (Stopped, unless no target was left). A journal that cannot be begun throws
// std::runtime_error before any file is touched; one that fails on the way stops the batch
// after that file, which is listed with the reason, as no undo could put back the next ones.
BatchOutcome RunBatch(Catalogue& catalogue, const std::vector<BatchTarget>& targets, BatchAction action,
                      const std::string& folder, BatchJournal& journal,
                      const std::function<bool(const BatchProgress&)>& onStep);

}  // namespace tessimar
