// Times the batch clean-up's plan over a catalogue filled as a scan fills it, by each rule,
// with and without protected folders. Times are processor times of this process.
// Usage: batch_plan_bench [PAIRS]   (1,000,000 pairs by default)
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "large_catalogue.h"
#include "review/batch_plan.h"

namespace {

using namespace tessimar;

double ProcessSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  const std::int32_t pairs = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
  Catalogue catalogue;
  tessimar::testing::FillLikeAScan(catalogue, pairs, 1);
  std::printf("%d pictures, %d pairs\n", catalogue.LastPicIndex + 1, catalogue.PairCount());
  struct Row {
    const char* name;
    BatchRule rule;
  };
  const Row rows[] = {
      {"lesser, similarity 100", {BatchChoice::Lesser, 100, {}}},
      {"lesser, similarity 1", {BatchChoice::Lesser, 1, {}}},
      {"second, similarity 1", {BatchChoice::Second, 1, {}}},
      {"first, similarity 1, two protected folders",
       {BatchChoice::First, 1, {"/photos/Album 001/", "/photos/Album 7/"}}},
  };
  for (const Row& row : rows) {
    const double start = ProcessSeconds();
    const std::vector<BatchTarget> targets = PlanBatch(catalogue, row.rule);
    const double seconds = ProcessSeconds() - start;
    std::printf("  %-44s %8.3f s  %zu targets, %lld bytes\n", row.name, seconds, targets.size(),
                static_cast<long long>(PlannedBytes(catalogue, targets)));
  }
  return 0;
}
