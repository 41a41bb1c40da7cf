// The one error a picture load raises; the matching pass passes such a picture over.
#pragma once

#include <stdexcept>

namespace tessimar {

class PictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tessimar
