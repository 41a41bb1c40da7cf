// Putting back what the last batch clean-up moved to the trash or to a folder.
#pragma once

#include <cstddef>
#include <vector>

#include "review/batch_journal.h"
#include "review/batch_run.h"

namespace tessimar {

struct UndoOutcome {
  std::size_t Restored = 0;
  std::size_t PassedOver = 0;  // put back or emptied from the trash by another tool already
  std::vector<BatchFailure> Failures;
};

// Newest entry first: a trashed file comes back only while its trash record still names the
// original path, and its record is removed then; a moved file while it is still at its
// destination. Never over an existing file: that entry fails and stays in the journal, as do
// all failures; everything else leaves it.
UndoOutcome UndoLastBatch(BatchJournal& journal);

// Whether the journal holds anything to put back. Throws as BatchJournal::Entries does.
bool HasUndoableBatch(const BatchJournal& journal);

}  // namespace tessimar
