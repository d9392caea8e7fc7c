// Fuzz target for the settings file. The input is a section name, a key
// name and a value, each ended by a NUL byte, then the file's content.
// Reads never return more than a read may; a write that succeeds reads back
// as written and leaves a neighbouring key alone; a write that fails leaves
// the file as it was; a removed key reads as missing.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "config/profile.h"
#include "platform/file_system.h"
#include "tests/fuzz/fuzz_workplace.h"

namespace {

// A default no file holds: a NUL cannot be stored in a value.
constexpr std::string_view kMissing("\0missing", 8);

std::string_view TakeField(std::string_view& input) {
  const std::size_t end = input.find('\0');
  const std::string_view field = input.substr(0, end);
  input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
  return field;
}

std::optional<std::string> FileContent(const std::string& path) {
  std::string error;
  return lp::ReadWholeFile(path, &error);
}

// Names the broken promise before stopping, so that a crash says which.
void Check(bool condition, const char* promise) {
  if (condition) return;
  std::fprintf(stderr, "settings_fuzz: %s\n", promise);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const lp::fuzz::Workplace workplace;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view section = TakeField(input);
  const std::string_view key = TakeField(input);
  const std::string_view value = TakeField(input);
  const std::string path = workplace.Path("lpost.conf");
  if (!workplace.WriteFile("lpost.conf", input)) return 0;

  lp::Profile profile(path);
  // A key of another name in the same section: a different length never
  // compares equal, whatever the case folding.
  const std::string neighbour = std::string(key) + "2";
  const std::string neighbour_value = profile.GetString(section, neighbour, kMissing);
  Check(profile.GetString(section, key).size() <= lp::Profile::kMaxStringBytes, "a read is cut to its limit");
  (void)profile.GetInt(section, key, -1);

  const std::optional<std::string> before = FileContent(path);
  if (profile.WriteString(section, key, value)) {
    if (value.size() <= lp::Profile::kMaxStringBytes) {
      Check(profile.GetString(section, key, kMissing) == value, "a written value reads back");
    }
    Check(profile.GetString(section, neighbour, kMissing) == neighbour_value, "a write leaves other keys alone");
  } else {
    Check(!profile.LastError().empty(), "a failed write says why");
    Check(FileContent(path) == before, "a failed write leaves the file alone");
  }

  if (profile.RemoveKey(section, key)) {
    Check(profile.GetString(section, key, kMissing) == kMissing, "a removed key reads as missing");
    Check(profile.GetString(section, neighbour, kMissing) == neighbour_value, "a removal leaves other keys alone");
  }
  return 0;
}
