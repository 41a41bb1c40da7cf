#include "temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tessimar::testing {

TempFolder::TempFolder(const std::string& base) {
  std::string pattern = (base.empty() ? fs::temp_directory_path().string() : base) + "/tessimar-test-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make " + pattern);
  path_ = pattern + "/";
}

TempFolder::~TempFolder() {
  std::error_code error;
  // Give back write permission a test may have taken away, so everything can go.
  for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error) && !it->is_symlink(error)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
  }
  fs::remove_all(path_, error);
}

std::string TempFolder::Write(const std::string& relative, const std::string& bytes) const {
  const fs::path file = path_ + relative;
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + file.string());
  return file.string();
}

std::string TempFolder::WriteSized(const std::string& relative, std::size_t size) const {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
  return Write(relative, bytes);
}

std::string TempFolder::MakeFolder(const std::string& relative) const {
  fs::create_directories(path_ + relative);
  std::string folder = path_ + relative;
  if (folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace tessimar::testing
