#include "large_catalogue.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

#include "matching/compact_signature.h"
#include "matching/pair_compare.h"

namespace tessimar::testing {
namespace {

constexpr std::int32_t PicturesPerFolder = 400;
// Every tenth picture has no look-alike before it.
constexpr std::int32_t UnpairedEvery = 10;
// The matching pass takes the nearest earlier match, so the partner is rarely far back.
constexpr std::int32_t PartnerReach = 50;

std::string FolderName(std::int32_t folder) {
  char name[32];
  std::snprintf(name, sizeof name, "/photos/Album %03d/", folder);
  return name;
}

// Mixed case, so the path columns fold letters as with real names.
std::string FileName(std::int32_t picture) {
  char name[32];
  std::snprintf(name, sizeof name, picture % 3 == 0 ? "img_%06d.jpg" : "IMG_%06d.JPG", picture);
  return name;
}

void AppendPictures(Catalogue& catalogue, std::int32_t pictures) {
  catalogue.AllocateCatalogue();
  for (std::int32_t k = 0; k < pictures; ++k) {
    if (k % PicturesPerFolder == 0) catalogue.RegisterFolder(FolderName(k / PicturesPerFolder));
    TPicInfo picture;
    picture.FileName = FileName(k);
    picture.Width = 4000;
    picture.Height = 3000;
    picture.Size = 2'000'000 + k;
    catalogue.AppendPicture(std::move(picture));
  }
  catalogue.TrimCatalogue();
}

}  // namespace

void FillLikeAScan(Catalogue& catalogue, std::int32_t pairs, std::uint32_t seed) {
  catalogue.Reset();
  // Picture 0 and every UnpairedEvery-th one after it pair with nothing.
  const std::int32_t pictures = pairs + pairs / (UnpairedEvery - 1) + 2;
  AppendPictures(catalogue, pictures);
  catalogue.AllocatePairs();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> agreeing(MatchCount, SignatureSize);
  for (std::int32_t later = 1; catalogue.PairCount() < pairs; ++later) {
    if (later % UnpairedEvery == 0) continue;
    const std::int32_t distance = std::uniform_int_distribution<std::int32_t>(1, std::min(later, PartnerReach))(random);
    catalogue.AppendPair({later - distance, later, *SimilarityOfScore(AgreementScore(agreeing(random)))});
  }
  catalogue.TrimPairs();
}

}  // namespace tessimar::testing
