#include "large_catalogue.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>

namespace tessimar::testing {
namespace {

constexpr std::int32_t PicturesPerFolder = 400;

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
  AppendPictures(catalogue, pairs / PairsPerPicture + PairsPerPicture);
  catalogue.AllocatePairs();
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> hundredths(5000, 10000);
  for (std::int32_t later = 1; catalogue.PairCount() < pairs; ++later) {
    for (std::int32_t n = 0; n < std::min(later, PairsPerPicture) && catalogue.PairCount() < pairs; ++n) {
      const auto earlier = static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(later));
      catalogue.AppendPair({earlier, later, hundredths(random) / 100.0});
    }
  }
  catalogue.TrimPairs();
}

}  // namespace tessimar::testing
