// Which pictures a batch clean-up acts on: one picture of each pair, chosen by a rule the
// user picks, never one in a protected folder, and never both pictures of any pair.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"

namespace tessimar {

enum class BatchChoice {
  Lesser,  // fewer pixels; on a tie the smaller file, then the later modification, then the second
  Second,
  First,
};

struct BatchRule {
  BatchChoice Choice = BatchChoice::Lesser;
  double MinSimilarity = 100;                 // pairs below it are left alone
  std::vector<std::string> ProtectedFolders;  // full paths, each ending in '/'
};

struct BatchTarget {
  std::int32_t Picture = 0;  // the picture acted on
  std::int32_t Keeper = 0;   // the other picture of the pair that chose it
  friend bool operator==(const BatchTarget&, const BatchTarget&) = default;
};

// The pictures the rule acts on, each once, in the order of the pairs that chose them. When
// the rule picks a protected picture, the pair's other picture is taken instead unless it is
// protected too. A picture is never taken when it is protected, or when it is the other
// picture of any pair (whatever its similarity) of a picture taken before: every pair of the
// list keeps at least one of its pictures. Throws std::invalid_argument for a pair naming a
// picture the catalogue does not hold.
std::vector<BatchTarget> PlanBatch(const Catalogue& catalogue, const BatchRule& rule);

// The bytes the targets' files hold, as the walk found them.
std::int64_t PlannedBytes(const Catalogue& catalogue, const std::vector<BatchTarget>& targets);

// Whether path is one of the folders or lies below it. Texts compare exactly, each as if it
// ended in '/', so /a/b/ protects /a/b/c.jpg but not /a/bc/d.jpg; an empty text protects nothing.
bool IsProtected(const std::string& path, const std::vector<std::string>& protectedFolders);

}  // namespace tessimar
