#include "net/address_field.h"

#include <array>
#include <cstdint>

#include "codec/japanese_text.h"
#include "codec/sjis_char.h"
#include "net/compose_messages.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

// None of "<", ">", "(", ")", "," or CR LF can be the trail byte of a
// double-byte character, so plain byte searches find only real ones.

std::string_view WithoutTrailingLineBreaks(std::string_view text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
  return text;
}

// A list whose content names a file of entries. Content that holds a line
// break before its last one is a list of entries even when it holds a path
// separator: a list ending in a LAN directory is not a file name.
std::optional<std::string> ListFilePath(std::string_view content) {
  if (!ContainsPathSeparator(content)) return std::nullopt;
  if (EndsWithPathSeparator(content)) return std::nullopt;
  std::string_view path = content;
  if (path.ends_with("\r\n")) path.remove_suffix(2);
  if (path.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
  return std::string(path);
}

// Splits `block` into pieces of at most kMaxListFileLineBytes bytes or
// through the next LF, carrying an unfinished piece over in `line`. A piece
// cut at the limit never ends inside a double-byte character.
class ListFileLines {
 public:
  explicit ListFileLines(std::vector<std::string>& entries) : entries_(entries) {}

  void Add(std::string_view block) {
    for (const char c : block) {
      line_ += c;
      if (c == '\n') {
        Emit();
      } else if (line_.size() >= kMaxListFileLineBytes) {
        CutAtLimit();
      }
    }
  }

  void Finish() { Emit(); }
  [[nodiscard]] bool any_network() const { return any_network_; }

 private:
  void CutAtLimit() {
    // A lead byte whose trail byte has not been read yet goes to the next piece.
    std::size_t cut = line_.size();
    const std::string_view last = LastCharacter(line_);
    if (last.size() == 1 && IsSjisLeadByte(static_cast<unsigned char>(last[0]))) --cut;
    std::string rest = line_.substr(cut);
    line_.resize(cut);
    Emit();
    line_ = std::move(rest);
  }

  void Emit() {
    const std::string_view entry = WithoutTrailingLineBreaks(line_);
    if (!entry.empty()) {
      entries_.emplace_back(entry);
      if (!IsLanDestination(entry)) any_network_ = true;
    }
    line_.clear();
  }

  std::vector<std::string>& entries_;
  std::string line_;
  bool any_network_ = false;
};

bool AppendListFile(const std::string& path, std::vector<std::string>& entries, UserInterface& ui) {
  File file;
  std::vector<std::string> read;
  ListFileLines lines(read);
  bool readable = file.Open(path, File::Mode::Read);
  std::array<char, 16384> buffer{};
  while (readable) {
    const std::int64_t count = file.Read(buffer.data(), buffer.size());
    if (count < 0) readable = false;
    if (count <= 0) break;
    lines.Add(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
  }
  if (!readable) {
    // A file that fails half way gives nothing rather than a part of the list.
    ui.ShowMessage(std::string(compose_text::kAddressFileMissing) + path);
    return false;
  }
  lines.Finish();
  entries.insert(entries.end(), read.begin(), read.end());
  return lines.any_network();
}

bool AppendListEntries(std::string_view content, std::vector<std::string>& entries) {
  bool any_network = false;
  while (!content.empty()) {
    const std::size_t end = content.find("\r\n");
    const std::string_view entry = content.substr(0, end);
    if (!entry.empty()) {
      entries.emplace_back(entry);
      if (!IsLanDestination(entry)) any_network = true;
    }
    if (end == std::string_view::npos) break;
    content.remove_prefix(end + 2);
  }
  return any_network;
}

}  // namespace

std::string_view AddressPart(std::string_view entry) {
  const std::size_t open = entry.rfind('<');
  if (open != std::string_view::npos) {
    const std::size_t close = entry.rfind('>');
    const std::size_t start = open + 1;
    if (close == std::string_view::npos || close < start) return entry.substr(start);
    return entry.substr(start, close - start);
  }
  const std::size_t paren = entry.find('(');
  if (paren != std::string_view::npos) return entry.substr(0, paren);
  return entry;
}

std::string_view DisplayNamePart(std::string_view entry) {
  const std::size_t open = entry.find('<');
  if (open != std::string_view::npos) return entry.substr(0, open);
  const std::size_t paren = entry.find('(');
  if (paren == std::string_view::npos) return {};
  const std::size_t close = entry.find(')', paren + 1);
  if (close == std::string_view::npos) return {};
  return entry.substr(paren + 1, close - paren - 1);
}

bool IsLanDestination(std::string_view entry) { return ContainsPathSeparator(AddressPart(entry)); }

bool SplitAddressField(std::string_view field, std::vector<std::string>& entries,
                       const AddressListLookup& lists, UserInterface& ui) {
  if (lists) {
    if (const std::optional<std::string> content = lists(field)) {
      if (const std::optional<std::string> path = ListFilePath(*content)) return AppendListFile(*path, entries, ui);
      return AppendListEntries(*content, entries);
    }
  }
  bool any_network = false;
  auto add = [&](std::string_view entry) {
    entries.emplace_back(entry);
    if (!IsLanDestination(entry)) any_network = true;
  };
  std::string_view rest = field;
  for (long comma = FindUnquoted(rest, ',', '"'); comma >= 0; comma = FindUnquoted(rest, ',', '"')) {
    add(rest.substr(0, static_cast<std::size_t>(comma)));
    rest.remove_prefix(static_cast<std::size_t>(comma) + 1);
  }
  if (!rest.empty()) add(rest);
  return any_network;
}

}  // namespace lp
