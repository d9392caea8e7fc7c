#pragma once

#include <string>

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes. Paths are native (UTF-8); the
// directory becomes the working directory when `enter` is set, and the old
// working directory comes back afterwards.

namespace lp::testing {

class TempDirectory {
 public:
  explicit TempDirectory(bool enter = false);
  ~TempDirectory();
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }
  // path() joined with a native relative name.
  [[nodiscard]] std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
  std::string previous_directory_;
};

// Reads or writes a whole file by native path; test helpers only.
std::string ReadFileBytes(const std::string& native_path);
void WriteFileBytes(const std::string& native_path, const std::string& bytes);

}  // namespace lp::testing
