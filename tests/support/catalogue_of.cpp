#include "catalogue_of.h"

namespace tessimar::testing {

Catalogue CatalogueOf(const std::vector<std::string>& paths, const std::vector<TPicturePair>& pairs) {
  Catalogue catalogue;
  catalogue.Reset();
  catalogue.AllocateCatalogue();
  for (const std::string& path : paths) {
    const std::string folder = path.substr(0, path.rfind('/') + 1);
    if (catalogue.LastPathIndex < 0 || catalogue.PathList[catalogue.LastPathIndex] != folder)
      catalogue.RegisterFolder(folder);
    TPicInfo picture;
    picture.FileName = path.substr(folder.size());
    catalogue.AppendPicture(picture);
  }
  catalogue.TrimCatalogue();
  catalogue.AllocatePairs();
  for (const TPicturePair& pair : pairs) catalogue.AppendPair(pair);
  catalogue.TrimPairs();
  return catalogue;
}

}  // namespace tessimar::testing
