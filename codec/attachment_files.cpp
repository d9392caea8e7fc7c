#include "codec/attachment_files.h"

#include "platform/sjis_path.h"

namespace lp {
namespace {

// Tries past this many numbered names are not made: the directory would be
// beyond any real use, and a loop must end.
constexpr int kMaxNumber = 1000000;
// The namer forgets its hints beyond this many names (memory stays bounded).
constexpr std::size_t kMaxRememberedNames = 4096;

}  // namespace

std::optional<std::string> SafeAttachmentName(std::string_view name) {
  const std::size_t separator = FindLastPathSeparator(name);
  if (separator != std::string_view::npos) name.remove_prefix(separator + 1);
  if (!IsSinglePathComponent(name)) return std::nullopt;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    // Shift_JIS trail bytes start at 0x40, so this byte test is exact.
    if (byte < 0x20 || byte == 0x7F) return std::nullopt;
  }
  if (ToNativePath(name).size() > kMaxAttachmentNameBytes) return std::nullopt;
  return std::string(name);
}

std::string NumberedAttachmentPath(std::string_view directory, std::string_view file_name, int number) {
  if (number == 0) return JoinPath(directory, file_name);
  // "." is never a trail byte, so the last one is a character of its own.
  const std::size_t dot = file_name.rfind('.');
  const std::string_view stem = dot == std::string_view::npos ? file_name : file_name.substr(0, dot);
  const std::string_view extension = dot == std::string_view::npos ? std::string_view() : file_name.substr(dot);
  std::string numbered(stem);
  numbered += "(" + std::to_string(number) + ")";
  numbered += extension;
  return JoinPath(directory, numbered);
}

std::string AttachmentNamer::Candidate(std::string_view file_name, int number) const {
  return NumberedAttachmentPath(directory_, file_name, number);
}

std::string AttachmentNamer::UniquePath(std::string_view file_name) {
  const std::string key(file_name);
  const auto hint = next_number_.find(key);
  int number = hint == next_number_.end() ? 0 : hint->second;
  while (number < kMaxNumber && PathExists(Candidate(file_name, number))) ++number;
  if (next_number_.size() >= kMaxRememberedNames) next_number_.clear();
  next_number_[key] = number;
  return number < kMaxNumber ? Candidate(file_name, number) : std::string();
}

std::string AttachmentNamer::CreateNewFile(std::string_view file_name, File& file) {
  if (!IsDirectory(directory_)) (void)MakeDirectories(directory_);
  // A file that appeared between the test and the opening is left alone:
  // appending never truncates, and a file that already holds data is
  // closed again and the next name is tried.
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::string path = UniquePath(file_name);
    if (path.empty()) return {};
    if (!file.Open(path, File::Mode::Append)) return {};
    const std::optional<std::uint64_t> size = file.Size();
    if (size && *size == 0) return path;
    file.Close();
    ++next_number_[std::string(file_name)];
  }
  return {};
}

}  // namespace lp
