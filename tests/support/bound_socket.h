// A Unix socket bound at a path: a directory entry that is neither file nor folder.
#pragma once

#include <string>

namespace tessimar::testing {

// The entry stays after the socket closes at the end.
class BoundSocket {
 public:
  // Throws std::runtime_error when the socket cannot be bound there.
  explicit BoundSocket(const std::string& path);
  BoundSocket(const BoundSocket&) = delete;
  BoundSocket& operator=(const BoundSocket&) = delete;
  ~BoundSocket();

 private:
  int socket_;
};

}  // namespace tessimar::testing
