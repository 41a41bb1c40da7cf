#include "bound_socket.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <stdexcept>

namespace tessimar::testing {

BoundSocket::BoundSocket(const std::string& path) : socket_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socket_ < 0 || path.size() >= sizeof(address.sun_path)) {
    if (socket_ >= 0) ::close(socket_);
    throw std::runtime_error("cannot make a socket at " + path);
  }
  path.copy(address.sun_path, path.size());
  if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(socket_);
    throw std::runtime_error("cannot bind a socket at " + path);
  }
}

BoundSocket::~BoundSocket() { ::close(socket_); }

}  // namespace tessimar::testing
