#include "tests/fuzz/fuzz_workplace.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp::fuzz {

Workplace::Workplace() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lanternpost-fuzz-XXXXXX").string();
  // Without a directory of its own no input can be tried at all.
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  directory_ = pattern;
}

Workplace::~Workplace() {
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

std::string Workplace::Path(std::string_view name) const { return JoinPath(directory_, name); }

bool Workplace::WriteFile(std::string_view name, std::string_view bytes) const {
  File file;
  return file.Open(Path(name), File::Mode::Write) && file.Write(bytes);
}

void Workplace::Remove(std::string_view name) const {
  std::error_code ignored;
  std::filesystem::remove_all(Path(name), ignored);
}

}  // namespace lp::fuzz
