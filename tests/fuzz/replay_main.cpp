// Replays fuzz inputs as an ordinary test, with any compiler: every file
// named on the command line, and every file of every directory named, goes
// once through the target's LLVMFuzzerTestOneInput, in name order. A target
// reports a fault by crashing or aborting, so the test fails with it. No
// input at all fails too: a corpus that went missing must not pass.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> InputFiles(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path argument(argv[i]);
    if (!std::filesystem::is_directory(argument)) {
      files.push_back(argument);
      continue;
    }
    std::vector<std::filesystem::path> inside;
    for (const auto& entry : std::filesystem::directory_iterator(argument)) {
      if (entry.is_regular_file()) inside.push_back(entry.path());
    }
    std::sort(inside.begin(), inside.end());
    files.insert(files.end(), inside.begin(), inside.end());
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::filesystem::path> files = InputFiles(argc, argv);
  if (files.empty()) {
    std::fprintf(stderr, "no input files found\n");
    return 1;
  }
  for (const auto& file : files) {
    std::string bytes;
    std::error_code error;
    bytes.resize(static_cast<std::size_t>(std::filesystem::file_size(file, error)));
    std::ifstream in(file, std::ios::binary);
    if (error || !in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
      std::fprintf(stderr, "cannot read %s\n", file.c_str());
      return 1;
    }
    // Printed before the run, so that the input of a crash is the last name shown.
    std::fprintf(stderr, "%s\n", file.c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  std::fprintf(stderr, "%zu inputs replayed\n", files.size());
  return 0;
}
