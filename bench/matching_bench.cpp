// Times the comparisons of the matching pass: one comparison of two signatures, and whole
// passes over synthetic catalogues with and without the candidate index. All times are
// processor times of this process.
//
// matching_bench [--full] [--sizes N,N,...] [--index-only] [--comparisons-only] [--real FILE]
//   --full   also times the pass without the index at every size (quadratic: at 100,000
//            pictures this takes the better part of an hour); without it, sizes above 20,000
//            are extrapolated from the 20,000 figure.
//   --index-only  times only the passes with the index.
//   --real   the output of `tessimar-scan --signature` on real pictures, to compare their
//            token statistics with the synthetic ones.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/signature/select_signature.h"
#include "catalogue/catalogue.h"
#include "matching/compact_signature.h"
#include "matching/pair_compare.h"
#include "matching/pair_finder.h"

namespace tessimar {
namespace {

using Tokens = std::vector<SignatureToken>;

// Processor time of this process: the machine is shared, so elapsed time says more about
// the other processes than about this one.
struct Clock {
  using time_point = double;
  static double now() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
  }
};

double Seconds(double since) { return Clock::now() - since; }

int Level(int index) { return index == 0 ? 0 : 32 - __builtin_clz(static_cast<unsigned>(index)); }
int BandStart(int level) { return level == 0 ? 0 : 1 << (level - 1); }
int BandWidth(int level) { return level == 0 ? 1 : 1 << (level - 1); }

// Signatures with the token statistics of photographs: each position of the band of (row
// level, column level) is kept with the probability measured on real signatures (the same
// 148 pictures that fixed the index's token order), its sign a fair coin, and the whole cut to
// 250 tokens as truncation does.
class SyntheticSignatures {
 public:
  explicit SyntheticSignatures(unsigned seed) : random_(seed) {}

  Tokens Draw(const std::set<SignatureToken>& excluded = {}) {
    static constexpr int KeptPer10000[8][8] = {
        {0, 8446, 8480, 6909, 5684, 3176, 980, 272},   {8108, 6622, 6351, 5321, 3902, 2073, 484, 112},
        {8615, 5946, 6807, 5566, 3623, 1617, 419, 74}, {7872, 5760, 5203, 4350, 2542, 1131, 224, 40},
        {6216, 3226, 4240, 2479, 1529, 565, 129, 26},  {3801, 2027, 2226, 1219, 653, 311, 76, 15},
        {1926, 739, 837, 457, 265, 151, 36, 12},       {520, 203, 239, 125, 61, 33, 13, 8},
    };
    Tokens tokens;
    for (int a = 0; a < 8; ++a) {
      for (int b = 0; b < 8; ++b) {
        const int positions = BandWidth(a) * BandWidth(b);
        std::binomial_distribution<int> kept(positions, KeptPer10000[a][b] / 10000.0);
        std::set<int> chosen;
        for (int n = kept(random_); static_cast<int>(chosen.size()) < n;) {
          const int r = BandStart(a) + static_cast<int>(random_() % BandWidth(a));
          const int c = BandStart(b) + static_cast<int>(random_() % BandWidth(b));
          chosen.insert(r * NumberOfPixels + c);
        }
        for (const int p : chosen) {
          const auto token = static_cast<SignatureToken>(p * 2 + (random_() & 1));
          if (!excluded.contains(token) && !excluded.contains(token ^ 1)) tokens.push_back(token);
        }
      }
    }
    std::shuffle(tokens.begin(), tokens.end(), random_);
    if (tokens.size() > static_cast<std::size_t>(SignatureSize)) tokens.resize(SignatureSize);
    return tokens;
  }

  // A near-duplicate of base: keeps 130 to 245 of its tokens, the rest drawn anew.
  Tokens NearDuplicate(const Tokens& base) {
    Tokens tokens = base;
    std::shuffle(tokens.begin(), tokens.end(), random_);
    tokens.resize(std::min(tokens.size(), static_cast<std::size_t>(130 + random_() % 116)));
    const std::set<SignatureToken> excluded(base.begin(), base.end());
    for (const SignatureToken t : Draw(excluded)) {
      if (tokens.size() >= base.size()) break;
      tokens.push_back(t);
    }
    return tokens;
  }

  std::uint32_t Next() { return random_(); }

 private:
  std::mt19937 random_;
};

void SetSignature(TPicInfo& picture, Tokens tokens) {
  std::sort(tokens.begin(), tokens.end());
  std::size_t pos = 0, neg = 0;
  for (const SignatureToken t : tokens) {
    const TWaveletPoint p{(t / 2) / NumberOfPixels, (t / 2) % NumberOfPixels};
    (t % 2 == 0 ? picture.WaveletCoefsPos[pos++] : picture.WaveletCoefsNeg[neg++]) = p;
  }
}

// count analysed pictures of one shape with distinct probes (no file is ever read); every
// duplicateEvery-th picture (0: none) a near-duplicate of a random earlier one, or with oneScene
// every picture a near-duplicate of the first.
std::unique_ptr<Catalogue> SyntheticCatalogue(int count, int duplicateEvery, unsigned seed, bool oneScene = false) {
  auto catalogue = std::make_unique<Catalogue>();
  catalogue->Reset();
  catalogue->AllocateCatalogue();
  catalogue->RegisterFolder("/synthetic/");
  SyntheticSignatures source(seed);
  std::vector<Tokens> signatures;
  for (int k = 0; k < count; ++k) {
    TPicInfo picture;
    picture.FileName = std::to_string(k) + ".jpg";
    picture.Identity = {1, static_cast<ino_t>(k + 1)};
    picture.CCVStage = TCCVStage::Full;
    picture.Width = 4000;
    picture.Height = 3000;
    std::memcpy(picture.PreBuffer.data(), &k, sizeof k);
    const bool duplicate = duplicateEvery > 0 && k > 0 && k % duplicateEvery == 0;
    if (oneScene && k > 0) {
      signatures.push_back(source.NearDuplicate(signatures.front()));
    } else {
      signatures.push_back(duplicate ? source.NearDuplicate(signatures[source.Next() % k]) : source.Draw());
    }
    SetSignature(picture, signatures.back());
    catalogue->PicList.push_back(std::move(picture));
    catalogue->LastPicIndex = k;
  }
  catalogue->PicListCapacity = count;
  return catalogue;
}

struct PassResult {
  double Seconds = 0;
  std::vector<TPicturePair> Pairs;
};

PassResult MatchingPass(const Catalogue& catalogue, int count, bool useIndex) {
  PassResult result;
  const auto start = Clock::now();
  PairFinder finder(catalogue, false, useIndex);
  for (std::int32_t k = 0; k < count; ++k) {
    if (auto pair = finder.FindMatch(k, [] { return true; })) result.Pairs.push_back(*pair);
    finder.Add(k);
  }
  result.Seconds = Seconds(start);
  return result;
}

bool SamePairs(const std::vector<TPicturePair>& a, const std::vector<TPicturePair>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TPicturePair& x, const TPicturePair& y) {
    return x.PicIndex1 == y.PicIndex1 && x.PicIndex2 == y.PicIndex2 && x.Similarity == y.Similarity;
  });
}

// ns per comparison of one picture with 20,000 others that it does not match.
void TimeComparisons() {
  constexpr int Others = 20000;
  const auto catalogue = SyntheticCatalogue(Others + 1, 0, 7);
  const TPicInfo& current = catalogue->PicList[Others];
  auto bits = std::make_unique<CodeBits>();
  bits->Assign(current);
  std::vector<std::uint16_t> pool;
  std::vector<std::pair<std::size_t, std::size_t>> spans;
  for (int i = 0; i < Others; ++i) {
    std::vector<std::uint16_t> codes;
    for (const SignatureToken t : TokensOf(catalogue->PicList[i]).Tokens) codes.push_back(TokenCode(t));
    std::sort(codes.begin(), codes.end());
    spans.emplace_back(pool.size(), codes.size());
    pool.insert(pool.end(), codes.begin(), codes.end());
  }
  auto time = [&](const char* what, const std::function<long()>& pass) {
    constexpr int Rounds = 20;
    long sum = 0;
    const auto start = Clock::now();
    for (int round = 0; round < Rounds; ++round) sum += pass();
    std::printf("  %-58s %7.1f ns  (mean count %.1f)\n", what, Seconds(start) * 1e9 / (Rounds * Others),
                static_cast<double>(sum) / (Rounds * Others));
  };
  std::printf("One comparison, 20,000 non-matching synthetic pictures:\n");
  for (const int needed : {0, MatchCount}) {
    time(needed ? "compact, giving up once 125 is out of reach" : "compact, counting every token", [&] {
      long sum = 0;
      for (const auto& [begin, size] : spans) sum += CompactAgreementCount({pool.data() + begin, size}, *bits, needed);
      return sum;
    });
  }
  auto coefficients = std::make_unique<CoefficientArray>();
  SignatureCoefficients(current.WaveletCoefsPos, current.WaveletCoefsNeg, *coefficients);
  const auto signs = std::make_unique<SignArray>(SignsOf(*coefficients));
  time("lists of the records against the sign array (before)", [&] {
    long sum = 0;
    for (int i = 0; i < Others; ++i) sum += AgreementCount(catalogue->PicList[i], *signs, MatchCount);
    return sum;
  });
}

std::vector<Tokens> ReadRealSignatures(const std::string& file) {
  std::ifstream in(file);
  std::vector<Tokens> signatures;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("height ", 0) != 0) continue;
    Tokens tokens;
    for (int sign = 0; sign < 2 && std::getline(in, line); ++sign) {
      std::istringstream positions(line);
      int x, y;
      char comma;
      while (positions >> x >> comma >> y)
        tokens.push_back(static_cast<SignatureToken>((x * NumberOfPixels + y) * 2 + sign));
    }
    signatures.push_back(tokens);
  }
  return signatures;
}

// Where the tokens lie and how many two unrelated signatures share.
void Describe(const char* what, const std::vector<Tokens>& signatures) {
  double coarse = 0, fine = 0, total = 0, shared = 0, pairs = 0;
  for (const Tokens& tokens : signatures) {
    for (const SignatureToken t : tokens) {
      const int level = std::max(Level(t / 2 / NumberOfPixels), Level(t / 2 % NumberOfPixels));
      coarse += level <= 3;
      fine += level >= 6;
      ++total;
    }
  }
  for (std::size_t i = 0; i < signatures.size(); ++i) {
    const std::set<SignatureToken> a(signatures[i].begin(), signatures[i].end());
    for (std::size_t j = i + 1; j < signatures.size(); ++j) {
      shared += std::count_if(signatures[j].begin(), signatures[j].end(), [&](auto t) { return a.contains(t); });
      ++pairs;
    }
  }
  std::printf(
      "  %-10s %4zu signatures, %5.1f tokens each; %4.1f%% in rows and columns < 8, %4.1f%% beyond 32; "
      "%4.1f shared per pair\n",
      what, signatures.size(), total / signatures.size(), 100 * coarse / total, 100 * fine / total, shared / pairs);
}

void CompareWithReal(const std::string& file) {
  const std::vector<Tokens> real = ReadRealSignatures(file);
  SyntheticSignatures source(3);
  std::vector<Tokens> synthetic;
  for (std::size_t i = 0; i < real.size(); ++i) synthetic.push_back(source.Draw());
  std::printf("Token statistics:\n");
  Describe("real", real);
  Describe("synthetic", synthetic);
}

void TimePasses(const std::vector<int>& sizes, bool full, bool indexOnly) {
  std::printf("Matching pass, 20,000 analysed pictures, no pair, no file access:\n");
  {
    const auto catalogue = SyntheticCatalogue(20000, 0, 11);
    const PassResult plain = indexOnly ? PassResult{} : MatchingPass(*catalogue, 20000, false);
    const PassResult indexed = MatchingPass(*catalogue, 20000, true);
    std::printf("  without index %7.2f s (%.1f ns per comparison), %zu pairs\n", plain.Seconds,
                plain.Seconds * 1e9 / (20000.0 * 19999 / 2), plain.Pairs.size());
    std::printf("  with index    %7.2f s, %zu pairs, same pairs: %s\n", indexed.Seconds, indexed.Pairs.size(),
                SamePairs(plain.Pairs, indexed.Pairs) ? "yes" : "NO");
  }
  const int largest = *std::max_element(sizes.begin(), sizes.end());
  std::printf("Matching pass, synthetic photographs, one in 50 a near-duplicate of an earlier one:\n");
  const auto catalogue = SyntheticCatalogue(largest, 50, 13);
  double plainAt20000 = 0;
  for (const int size : sizes) {
    const PassResult indexed = MatchingPass(*catalogue, size, true);
    std::printf("  %6d pictures: with index %7.2f s, %5zu pairs;", size, indexed.Seconds, indexed.Pairs.size());
    if (indexOnly) {
      std::printf("\n");
    } else if (full || size <= 20000) {
      const PassResult plain = MatchingPass(*catalogue, size, false);
      if (size == 20000) plainAt20000 = plain.Seconds;
      std::printf(" without %8.2f s, same pairs: %s\n", plain.Seconds,
                  SamePairs(plain.Pairs, indexed.Pairs) ? "yes" : "NO");
    } else if (plainAt20000 > 0) {
      const double scale = static_cast<double>(size) / 20000;
      std::printf(" without ~%7.0f s (extrapolated from 20,000 as n^2)\n", plainAt20000 * scale * scale);
    } else {
      std::printf(" without: skipped\n");
    }
    std::fflush(stdout);
  }
  // Look-alikes of one scene, as a burst or a time-lapse gives: nearly every earlier picture is a
  // candidate of the index, but the newest ones, compared first, hold the match.
  std::printf("Matching pass, a run of look-alikes, each a near-duplicate of the first:\n");
  const auto run = SyntheticCatalogue(largest, 0, 17, true);
  for (const int size : sizes) {
    const PassResult indexed = MatchingPass(*run, size, true);
    const PassResult plain = MatchingPass(*run, size, false);
    const bool same = SamePairs(plain.Pairs, indexed.Pairs);
    std::printf("  %6d pictures: with index %7.2f s, without %7.2f s, %6zu pairs, same pairs: %s\n", size,
                indexed.Seconds, plain.Seconds, indexed.Pairs.size(), same ? "yes" : "NO");
    std::fflush(stdout);
  }
}

std::vector<int> ParseSizes(const std::string& list) {
  std::vector<int> sizes;
  std::istringstream in(list);
  for (std::string item; std::getline(in, item, ',');) sizes.push_back(std::stoi(item));
  return sizes;
}

}  // namespace
}  // namespace tessimar

int main(int argc, char** argv) {
  bool full = false;
  bool indexOnly = false;
  std::vector<int> sizes{10000, 20000, 50000, 100000};
  std::string real;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--full") {
      full = true;
    } else if (argument == "--index-only") {
      indexOnly = true;
    } else if (argument == "--comparisons-only") {
      sizes.clear();
    } else if (argument == "--sizes" && i + 1 < argc) {
      sizes = tessimar::ParseSizes(argv[++i]);
    } else if (argument == "--real" && i + 1 < argc) {
      real = argv[++i];
    } else {
      std::fprintf(
          stderr,
          "usage: matching_bench [--full] [--sizes N,N,...] [--index-only] [--comparisons-only] [--real FILE]\n");
      return 2;
    }
  }
  if (!real.empty()) tessimar::CompareWithReal(real);
  tessimar::TimeComparisons();
  if (!sizes.empty()) tessimar::TimePasses(sizes, full, indexOnly);
  return 0;
}
