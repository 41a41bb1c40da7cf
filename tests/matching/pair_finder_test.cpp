#include "matching/pair_finder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>

#include "analysis/file_probe.h"
#include "analysis/signature/coefficients.h"
#include "analysis/signature/select_signature.h"
#include "matching/pair_compare.h"
#include "temp_folder.h"

namespace tessimar {
namespace {

using Tokens = std::vector<SignatureToken>;

// The matching rules read literally: every earlier picture, nearest first, a copy before a
// look-alike, the current picture's signs rebuilt from its lists.
std::optional<TPicturePair> LiteralFindMatch(const Catalogue& catalogue, std::int32_t k, bool identicalOnly,
                                             const std::function<bool()>& goOn) {
  const TPicInfo& picture = catalogue.PicList[k];
  auto comparable = [&](const TPicInfo& earlier) {
    return earlier.CCVStage == TCCVStage::Full && ShapesComparable(picture, earlier) &&
           earlier.Identity != picture.Identity;
  };
  for (std::int32_t i = k - 1; i >= 0; --i)
    if (comparable(catalogue.PicList[i]) && catalogue.PicList[i].PreBuffer == picture.PreBuffer &&
        FilesEqual(catalogue.FullPath(k), catalogue.FullPath(i), goOn))
      return TPicturePair{i, k, 100};
  if (identicalOnly) return std::nullopt;
  auto coefficients = std::make_unique<CoefficientArray>();
  SignatureCoefficients(picture.WaveletCoefsPos, picture.WaveletCoefsNeg, *coefficients);
  const auto signs = std::make_unique<SignArray>(SignsOf(*coefficients));
  for (std::int32_t i = k - 1; i >= 0; --i) {
    if (!comparable(catalogue.PicList[i])) continue;
    if (auto similarity = SimilarityOfScore(AgreementScore(AgreementCount(catalogue.PicList[i], *signs, MatchCount))))
      return TPicturePair{i, k, *similarity};
  }
  return std::nullopt;
}

// Tokens drawn as photographs keep them: coarse positions far more often than fine ones.
class TokenSource {
 public:
  explicit TokenSource(unsigned seed) : random_(seed) {}

  SignatureToken Draw() {
    for (;;) {
      const int row = static_cast<int>(NumberOfPixels * std::pow(unit_(random_), 2.5));
      const int column = static_cast<int>(NumberOfPixels * std::pow(unit_(random_), 2.5));
      if (row == 0 && column == 0) continue;
      return static_cast<SignatureToken>((row * NumberOfPixels + column) * 2 + (random_() & 1));
    }
  }
  // size distinct tokens, taking shared of them from base and none other of base.
  Tokens Signature(int size, const Tokens& base = {}, int shared = 0) {
    Tokens from = base;
    std::shuffle(from.begin(), from.end(), random_);
    std::set<SignatureToken> chosen(from.begin(), from.begin() + shared);
    const std::set<SignatureToken> excluded(base.begin(), base.end());
    while (static_cast<int>(chosen.size()) < size)
      if (const SignatureToken t = Draw(); !excluded.contains(t)) chosen.insert(t);
    return Tokens(chosen.begin(), chosen.end());
  }
  int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

 private:
  std::mt19937 random_;
  std::uniform_real_distribution<double> unit_{0.0, 1.0};
};

// Writes tokens into the lists as an analysis does: each list in row-major order.
void SetSignature(TPicInfo& picture, Tokens tokens) {
  picture.WaveletCoefsPos.fill({});
  picture.WaveletCoefsNeg.fill({});
  std::sort(tokens.begin(), tokens.end());
  std::size_t pos = 0, neg = 0;
  for (const SignatureToken t : tokens) {
    const TWaveletPoint p{(t / 2) / NumberOfPixels, (t / 2) % NumberOfPixels};
    if (t % 2 == 0 && pos < picture.WaveletCoefsPos.size()) picture.WaveletCoefsPos[pos++] = p;
    if (t % 2 == 1 && neg < picture.WaveletCoefsNeg.size()) picture.WaveletCoefsNeg[neg++] = p;
  }
}

// Random catalogues of analysed pictures with the cases that decide a match planted in
// them: 124, 125 and 126 agreeing tokens, short signatures, copies, equal probes over other
// bytes, shapes at the 1.5 boundary, two names of one file, pictures never analysed.
struct RandomScan {
  RandomScan(unsigned seed, int count) : source(seed) {
    catalogue.Reset();
    catalogue.AllocateCatalogue();
    catalogue.RegisterFolder(folder.Path());
    for (int k = 0; k < count; ++k) {
      TPicInfo picture;
      picture.FileName = std::to_string(k) + ".jpg";
      catalogue.AppendPicture(picture);
    }
    catalogue.TrimCatalogue();
    for (int k = 0; k < count; ++k) Fill(k);
  }

  void Fill(int k) {
    static constexpr std::pair<int, int> Shapes[] = {{3000, 2000}, {2000, 2000}, {3001, 2000},
                                                     {2000, 3000}, {2400, 2000}, {1999, 3000}};
    TPicInfo& picture = catalogue.PicList[k];
    std::string bytes(300, '\0');
    for (char& b : bytes) b = static_cast<char>(source.Below(256));
    tokens.emplace_back();
    if (source.Below(12) == 0) {  // failed to load or too small
      folder.Write(picture.FileName, bytes);
      return;
    }
    picture.CCVStage = TCCVStage::Full;
    std::tie(picture.Width, picture.Height) = Shapes[source.Below(std::size(Shapes))];
    picture.Identity = {1, static_cast<ino_t>(k + 1)};
    const int earlier = analysed.empty() ? -1 : analysed[source.Below(static_cast<int>(analysed.size()))];
    const int kind = earlier < 0 ? 0 : source.Below(10);
    if (kind == 1) {  // a copy of an earlier file, or a second name of it
      bytes = files[earlier];
      tokens.back() = tokens[earlier];
      if (source.Below(3) == 0) picture.Identity = catalogue.PicList[earlier].Identity;
    } else if (kind == 2) {  // the same first 256 bytes, other bytes after them
      std::copy_n(files[earlier].begin(), PreBufferSize, bytes.begin());
      tokens.back() = source.Signature(250);
    } else if (kind >= 3 && kind <= 6 && tokens[earlier].size() >= 250) {
      static constexpr int Shared[] = {124, 125, 126, 127, 150};
      tokens.back() = source.Signature(250, tokens[earlier], Shared[source.Below(std::size(Shared))]);
    } else {
      static constexpr int Sizes[] = {250, 250, 250, 250, 250, 250, 0, 60, 124, 125, 126};
      tokens.back() = source.Signature(Sizes[source.Below(std::size(Sizes))]);
    }
    SetSignature(picture, tokens.back());
    std::copy_n(bytes.begin(), PreBufferSize, picture.PreBuffer.begin());
    folder.Write(picture.FileName, bytes);
    files[k] = bytes;
    analysed.push_back(k);
  }

  testing::TempFolder folder;
  Catalogue catalogue;
  TokenSource source;
  std::vector<Tokens> tokens;
  std::map<int, std::string> files;
  std::vector<int> analysed;
};

std::string Describe(const std::optional<TPicturePair>& pair) {
  return pair ? std::to_string(pair->PicIndex1) + " at " + std::to_string(pair->Similarity) : "none";
}

TEST(PairFinderTest, TheIndexFindsWhatEveryComparisonFinds) {
  for (const unsigned seed : {1u, 2u, 3u}) {
    for (const bool identicalOnly : {false, true}) {
      SCOPED_TRACE("seed " + std::to_string(seed) + (identicalOnly ? ", identical only" : ""));
      RandomScan scan(seed, 500);
      PairFinder plain(scan.catalogue, identicalOnly, false);
      PairFinder indexed(scan.catalogue, identicalOnly, true);
      int pairs = 0, copies = 0, threshold = 0;
      for (std::int32_t k = 0; k < scan.catalogue.PicListCapacity; ++k) {
        if (scan.catalogue.PicList[k].CCVStage != TCCVStage::Full) continue;
        const auto goOn = [] { return true; };
        const auto expected = LiteralFindMatch(scan.catalogue, k, identicalOnly, goOn);
        const auto fromPlain = plain.FindMatch(k, goOn);
        const auto fromIndex = indexed.FindMatch(k, goOn);
        plain.Add(k);
        indexed.Add(k);
        SCOPED_TRACE("picture " + std::to_string(k) + ": expected " + Describe(expected));
        for (const auto* found : {&fromPlain, &fromIndex}) {
          ASSERT_EQ(found->has_value(), expected.has_value()) << Describe(*found);
          if (!expected) continue;
          EXPECT_EQ((*found)->PicIndex1, expected->PicIndex1);
          EXPECT_EQ((*found)->PicIndex2, k);
          EXPECT_EQ((*found)->Similarity, expected->Similarity);
        }
        pairs += expected.has_value();
        copies += expected && expected->Similarity == 100;
        threshold += expected && expected->Similarity == 1;
      }
      EXPECT_GT(copies, 10);
      if (!identicalOnly) {
        EXPECT_GT(pairs, copies + 30);
        EXPECT_GT(threshold, 10);
      }
    }
  }
}

TEST(PairFinderTest, ListsAnAnalysisCannotWriteAreComparedLiterally) {
  RandomScan scan(7, 200);
  // A position listed twice, a list of 250 beside a full other list, a position of both signs.
  TPicInfo& twice = scan.catalogue.PicList[scan.analysed[10]];
  twice.WaveletCoefsPos[1] = twice.WaveletCoefsPos[0];
  TPicInfo& full = scan.catalogue.PicList[scan.analysed[20]];
  for (int slot = 0; slot < SignatureSize; ++slot) full.WaveletCoefsNeg[slot] = {1 + slot / 128, slot % 128};
  TPicInfo& both = scan.catalogue.PicList[scan.analysed[30]];
  both.WaveletCoefsNeg[0] = both.WaveletCoefsPos[0];
  PairFinder indexed(scan.catalogue, false, true);
  for (std::int32_t k = 0; k < scan.catalogue.PicListCapacity; ++k) {
    if (scan.catalogue.PicList[k].CCVStage != TCCVStage::Full) continue;
    SCOPED_TRACE(k);
    const auto expected = LiteralFindMatch(scan.catalogue, k, false, [] { return true; });
    const auto found = indexed.FindMatch(k, [] { return true; });
    indexed.Add(k);
    ASSERT_EQ(Describe(found), Describe(expected));
  }
}

TEST(PairFinderTest, PicturesNotAddedAreStillEarlierPictures) {
  RandomScan scan(11, 300);
  PairFinder indexed(scan.catalogue, false, true);
  for (const std::int32_t k : {150, 299}) {
    SCOPED_TRACE(k);
    if (scan.catalogue.PicList[k].CCVStage != TCCVStage::Full) continue;
    EXPECT_EQ(Describe(indexed.FindMatch(k, [] { return true; })), Describe(LiteralFindMatch(scan.catalogue, k, false, [] { return true; })));
  }
}

// Many files of one size and one probe, as a scanner's pages or a camera's frames are: a few
// contents recur among many unique ones, some differing only in their last byte.
TEST(PairFinderTest, FilesOfOneProbeAndSizeAreReadABoundedNumberOfTimesEach) {
  constexpr int Count = 400;
  constexpr std::size_t Size = 4096;
  testing::TempFolder folder;
  Catalogue catalogue;
  catalogue.Reset();
  catalogue.AllocateCatalogue();
  catalogue.RegisterFolder(folder.Path());
  std::mt19937 random(17);
  std::vector<std::string> contents;
  for (int k = 0; k < Count; ++k) {
    std::string bytes(Size, 'p');
    const int recurring = static_cast<int>(random() % 8);
    if (random() % 2 == 0) {
      bytes.back() = static_cast<char>(recurring);  // one of eight contents
    } else {
      std::to_string(k).copy(bytes.data() + Size - 4, 3);  // a content of its own
    }
    TPicInfo picture;
    picture.FileName = std::to_string(k) + ".bmp";
    picture.Size = static_cast<std::int64_t>(Size);
    folder.Write(picture.FileName, bytes);
    catalogue.AppendPicture(picture);
    contents.push_back(bytes);
  }
  catalogue.TrimCatalogue();
  for (int k = 0; k < Count; ++k) {
    TPicInfo& picture = catalogue.PicList[k];
    picture.CCVStage = TCCVStage::Full;
    picture.Width = picture.Height = 100;
    picture.Identity = {1, static_cast<ino_t>(k + 1)};
    std::copy_n(contents[k].begin(), PreBufferSize, picture.PreBuffer.begin());
  }

  PairFinder finder(catalogue, true);
  int blocks = 0;
  for (std::int32_t k = 0; k < Count; ++k) {
    SCOPED_TRACE(k);
    const auto found = finder.FindMatch(k, [&] { return ++blocks > 0; });
    finder.Add(k);
    std::optional<std::int32_t> expected;
    for (std::int32_t i = k - 1; i >= 0 && !expected; --i)
      if (contents[i] == contents[k]) expected = i;
    ASSERT_EQ(found.has_value(), expected.has_value());
    if (expected) {
      EXPECT_EQ(found->PicIndex1, *expected);
    }
  }
  // Comparing each file with every earlier one would read some 400 * 400 / 2 * 4 blocks.
  EXPECT_LT(blocks, 10 * Count);
}

TEST(PairFinderTest, NoFileIsReadOnceGoOnAnswersFalse) {
  RandomScan scan(5, 200);
  PairFinder indexed(scan.catalogue, false, true);
  int calls = 0, stopped = 0;
  for (std::int32_t k = 0; k < scan.catalogue.PicListCapacity; ++k) {
    if (scan.catalogue.PicList[k].CCVStage != TCCVStage::Full) continue;
    calls = 0;
    const auto found = indexed.FindMatch(k, [&] { return ++calls < 2; });
    indexed.Add(k);
    if (calls < 2) continue;
    ++stopped;
    EXPECT_EQ(calls, 2) << "picture " << k;
    EXPECT_FALSE(found.has_value()) << "picture " << k;
  }
  EXPECT_GT(stopped, 5);
}

TEST(CompactSignatureTest, CountsAsTheListsAgainstTheCoefficientArray) {
  TokenSource source(5);
  std::vector<Tokens> signatures;
  for (int i = 0; i < 60; ++i) signatures.push_back(source.Signature(250));
  for (int i = 0; i < 60; ++i) signatures.push_back(source.Signature(250, signatures[i], 110 + source.Below(30)));
  for (const int size : {0, 1, 124, 125, 126}) signatures.push_back(source.Signature(size));
  auto coefficients = std::make_unique<CoefficientArray>();
  auto signs = std::make_unique<SignArray>();
  auto bits = std::make_unique<CodeBits>();
  TPicInfo current, earlier;
  for (std::size_t c = 0; c < signatures.size(); c += 7) {
    SetSignature(current, signatures[c]);
    SignatureCoefficients(current.WaveletCoefsPos, current.WaveletCoefsNeg, *coefficients);
    *signs = SignsOf(*coefficients);
    bits->Assign(current);
    for (const Tokens& tokens : signatures) {
      SetSignature(earlier, tokens);
      std::vector<std::uint16_t> codes;
      for (const SignatureToken t : tokens) codes.push_back(TokenCode(t));
      std::sort(codes.begin(), codes.end());
      const int literal = AgreementCount(earlier, *signs);
      ASSERT_EQ(CompactAgreementCount(codes, *bits), literal);
      ASSERT_EQ(LiteralAgreementCount(earlier, *bits), literal);
      for (const int needed : {124, 125, 126}) {
        SCOPED_TRACE(needed);
        const int early = CompactAgreementCount(codes, *bits, needed);
        EXPECT_EQ(early >= needed, literal >= needed);
        if (literal >= needed) {
          EXPECT_EQ(early, literal);
        }
        EXPECT_EQ(LiteralAgreementCount(earlier, *bits, needed), AgreementCount(earlier, *signs, needed));
      }
    }
  }
}

TEST(CompactSignatureTest, TheCodesAreAPermutationOfTheTokens) {
  std::vector<bool> seen(TokenCount);
  for (int t = 0; t < TokenCount; ++t) seen[TokenCode(static_cast<SignatureToken>(t))] = true;
  EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](bool b) { return b; }));
  // Coarse differences are kept by most photographs and come after fine detail.
  EXPECT_GT(TokenCode(2 * 1), TokenCode(2 * (100 * NumberOfPixels + 100)));
}

// The compact forms stand for the coefficient array because, after truncation, it is nonzero
// exactly at the positions its lists keep.
TEST(CompactSignatureTest, TheListsHoldEveryKeptCoefficient) {
  std::mt19937 random(3);
  auto gray = std::make_unique<GrayPixels>();
  auto coefficients = std::make_unique<CoefficientArray>();
  auto rebuilt = std::make_unique<CoefficientArray>();
  for (const int levels : {2, 5, 256}) {
    SCOPED_TRACE(levels);
    for (auto& pixel : *gray) pixel = static_cast<std::uint8_t>(random() % levels);
    ComputeCoefficients(*gray, *coefficients, 100);
    TPicInfo picture;
    SelectSignature(*coefficients, picture.WaveletCoefsPos, picture.WaveletCoefsNeg);
    SignatureCoefficients(picture.WaveletCoefsPos, picture.WaveletCoefsNeg, *rebuilt);
    EXPECT_EQ(*rebuilt, *coefficients);
  }
}

}  // namespace
}  // namespace tessimar
