#include "matching/content_digest.h"

#include <openssl/evp.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "platform/regular_file.h"

namespace tessimar {
namespace {

// Large enough that reading costs little more than hashing, small enough that goOn runs
// many times a second.
constexpr std::size_t DigestBlockSize = 256 * 1024;

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

void Check(int result) {
  if (result != 1) throw std::runtime_error("SHA-256 digest failed");
}

}  // namespace

std::optional<ContentDigest> DigestOfFile(const std::string& path, const std::function<bool()>& goOn) {
  RegularFile file(path);
  if (!file.IsOpen()) return std::nullopt;
  const DigestContext context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!context) throw std::bad_alloc();
  Check(EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr));
  std::vector<std::uint8_t> block(DigestBlockSize);
  for (;;) {
    const ssize_t read = file.Read(block.data(), block.size());
    if (read < 0 || !goOn()) return std::nullopt;
    if (read == 0) break;
    Check(EVP_DigestUpdate(context.get(), block.data(), static_cast<std::size_t>(read)));
  }
  ContentDigest digest{};
  Check(EVP_DigestFinal_ex(context.get(), digest.data(), nullptr));
  return digest;
}

}  // namespace tessimar
