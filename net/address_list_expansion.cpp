#include "net/address_list_expansion.h"

#include <optional>

#include "net/send_messages.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {

namespace {

void AddLinePieces(std::string_view line, std::vector<std::string>& entries) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  while (!line.empty()) {
    const std::size_t size = std::min(line.size(), kMaxAddressListLine);
    entries.emplace_back(line.substr(0, size));
    line.remove_prefix(size);
  }
}

std::optional<std::string> ReadListFile(std::string_view path) {
  File file;
  if (!file.Open(path, File::Mode::Read)) return std::nullopt;
  std::string bytes(kMaxAddressListFileBytes, '\0');
  const std::int64_t count = file.ReadFull(bytes.data(), bytes.size());
  if (count < 0) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(count));
  return bytes;
}

}  // namespace

std::vector<std::string> ExpandAddressList(std::string_view content, UserInterface& ui) {
  std::vector<std::string> entries;
  if (ContainsPathSeparator(content) && !EndsWithPathSeparator(content)) {
    std::string_view path = content;
    if (path.ends_with("\r\n")) path.remove_suffix(2);
    const std::optional<std::string> bytes = ReadListFile(path);
    if (!bytes) {
      ui.ShowMessage(std::string(send_text::kAddressFileMissing) + std::string(path));
      return entries;
    }
    std::string_view rest = *bytes;
    while (!rest.empty()) {
      const std::size_t end = rest.find('\n');
      AddLinePieces(rest.substr(0, end), entries);
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
    return entries;
  }
  std::string_view rest = content;
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    const std::string_view piece = rest.substr(0, end);
    if (!piece.empty()) entries.emplace_back(piece);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
  }
  return entries;
}

AddressListLookup MakeAddressListLookup(const AddressBook& book, UserInterface& ui) {
  return [&book, &ui](std::string_view field) -> std::optional<std::vector<std::string>> {
    const std::optional<std::string> content = book.FindAddressList(field);
    if (!content) return std::nullopt;
    return ExpandAddressList(*content, ui);
  };
}

}  // namespace lp
