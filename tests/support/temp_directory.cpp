#include "tests/support/temp_directory.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include <gtest/gtest.h>

namespace lp::testing {

TempDirectory::TempDirectory(bool enter) {
  std::string pattern = (std::filesystem::temp_directory_path() / "lanternpost-test-XXXXXX").string();
  char* made = ::mkdtemp(pattern.data());
  if (made == nullptr) {
    ADD_FAILURE() << "mkdtemp failed";
    return;
  }
  path_ = made;
  if (enter) {
    previous_directory_ = std::filesystem::current_path().string();
    std::filesystem::current_path(path_);
  }
}

TempDirectory::~TempDirectory() {
  if (!previous_directory_.empty()) std::filesystem::current_path(previous_directory_);
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::string& native_path) {
  std::ifstream in(native_path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void WriteFileBytes(const std::string& native_path, const std::string& bytes) {
  std::ofstream out(native_path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace lp::testing
