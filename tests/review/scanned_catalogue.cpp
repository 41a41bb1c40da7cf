#include "scanned_catalogue.h"

#include <sys/stat.h>

#include <stdexcept>

#include "catalogue_of.h"
#include "platform/dos_time.h"

namespace tessimar::testing {

Catalogue ScannedCatalogue(const std::vector<std::string>& paths, const std::vector<TPicturePair>& pairs) {
  Catalogue catalogue = CatalogueOf(paths, pairs);
  for (std::size_t i = 0; i < paths.size(); ++i) {
    struct stat st {};
    if (::stat(paths[i].c_str(), &st) != 0) throw std::runtime_error("no file " + paths[i]);
    TPicInfo& picture = catalogue.PicList[i];
    picture.Identity = {st.st_dev, st.st_ino};
    picture.Size = st.st_size;
    picture.Time = ToDosDateTime(st.st_mtime);
  }
  return catalogue;
}

}  // namespace tessimar::testing
