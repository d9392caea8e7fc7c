// Writes the manual pages and the bash completion into a directory:
//   write_manual_files OUTPUT_DIR VERSION
// OUTPUT_DIR/man1/{lanternpost,lanternpost-cli}.1 (English),
// OUTPUT_DIR/ja/man1/... (Japanese) and OUTPUT_DIR/completion/lanternpost-cli.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "manual/bash_completion.h"
#include "manual/manual_page.h"

namespace {

bool WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) std::fprintf(stderr, "write_manual_files: cannot write %s\n", path.string().c_str());
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: write_manual_files OUTPUT_DIR VERSION\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  const std::string version = argv[2];
  using lp::ManualLanguage;
  bool ok = true;
  for (const auto& [language, dir] : {std::pair{ManualLanguage::English, out / "man1"},
                                      std::pair{ManualLanguage::Japanese, out / "ja" / "man1"}}) {
    ok = WriteFile(dir / "lanternpost-cli.1", lp::CliManualPage(language, version)) && ok;
    ok = WriteFile(dir / "lanternpost.1", lp::DesktopManualPage(language, version)) && ok;
  }
  ok = WriteFile(out / "completion" / "lanternpost-cli", lp::CliBashCompletion()) && ok;
  return ok ? 0 : 1;
}
