// Writing a file whole: the new bytes go to a temporary file beside the target, which
// is synced and then renamed over it, so the target holds either its old bytes or all
// of the new ones, whatever fails or whenever the program is killed.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tessimar {

// "Unable to write to <target>", with the system's reason as an errno value.
struct FileWriteError : std::runtime_error {
  FileWriteError(const std::string& target, int code)
      : std::runtime_error("Unable to write to " + target), Code(code) {}
  int Code;
};

class FileReplacement {
 public:
  // Makes the temporary file at once, so that a target that cannot be written is known
  // before any work is done. A link is written through: it stays a link. Throws
  // FileWriteError when the target is not a regular file or its folder refuses a new file.
  explicit FileReplacement(const std::string& target);
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  // Removes the temporary file unless Commit succeeded.
  ~FileReplacement();

  // Writes text, syncs, and renames it over the target, keeping the mode of a target
  // that exists. Throws FileWriteError; the target is then unchanged.
  void Commit(std::string_view text);

 private:
  [[noreturn]] void Fail(int code) const;

  std::string target_;     // as the caller named it, for messages
  std::string resolved_;   // the file a link leads to
  std::string temporary_;  // empty once renamed
  int fd_ = -1;
  unsigned mode_ = 0644;
};

}  // namespace tessimar
