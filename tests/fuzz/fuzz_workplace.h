#pragma once

#include <string>
#include <string_view>

// Where a fuzz target keeps the files of one input: a directory of its own
// under the system's temporary directory ($TMPDIR), removed when the process
// ends normally. Files are named by absolute path, so the process's working
// directory (where a corpus given by a relative path lives) never changes.

namespace lp::fuzz {

class Workplace {
 public:
  Workplace();
  ~Workplace();
  Workplace(const Workplace&) = delete;
  Workplace& operator=(const Workplace&) = delete;

  // The absolute path of `name` inside the directory.
  [[nodiscard]] std::string Path(std::string_view name) const;
  // Replaces the file `name` with `bytes`; false when it cannot be written.
  [[nodiscard]] bool WriteFile(std::string_view name, std::string_view bytes) const;
  // Removes `name` (a file or a whole directory) if it is there.
  void Remove(std::string_view name) const;

 private:
  std::string directory_;
};

}  // namespace lp::fuzz
