#include "store/mail_import_read_state.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace lp {
namespace {

// Sylpheed's permanent message flags.
constexpr std::uint32_t kMarkNew = 1U << 0;
constexpr std::uint32_t kMarkUnread = 1U << 1;
// A mark file begins with its version; both programs write 2.
constexpr std::uint32_t kMarkVersion = 2;
// Bounds against a broken or hostile folder.
constexpr std::size_t kMaxStates = 10'000'000;

constexpr std::uint32_t kMozillaRead = 0x0001;
constexpr std::uint32_t kMozillaExpunged = 0x0008;

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::optional<std::uint32_t> MozillaFlags(std::optional<std::string_view> value) {
  if (!value) return std::nullopt;
  const std::string_view text = Trimmed(*value);
  if (text.empty() || text.size() > 8) return std::nullopt;
  std::uint32_t flags = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    flags = flags * 16 + static_cast<std::uint32_t>(digit);
  }
  return flags;
}

bool ReadMarkFile(const std::filesystem::path& path, MhReadStates& states) {
  std::ifstream in(path, std::ios::binary);
  std::uint32_t version = 0;
  if (!in.read(reinterpret_cast<char*>(&version), sizeof version) || version != kMarkVersion) return false;
  std::uint32_t pair[2];
  while (states.unread.size() < kMaxStates && in.read(reinterpret_cast<char*>(pair), sizeof pair)) {
    states.unread[pair[0]] = (pair[1] & (kMarkNew | kMarkUnread)) != 0;
  }
  states.kind = MhReadStates::Kind::Marks;
  return true;
}

bool ReadSequences(const std::filesystem::path& path, MhReadStates& states) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::string line;
  std::string current;  // name of the sequence the last line belonged to
  while (std::getline(in, line)) {
    std::string_view view = line;
    if (!view.empty() && (view.front() == ' ' || view.front() == '\t')) {
      if (current == "unseen") AddSequenceNumbers(view, states.unread, kMaxStates);
      continue;
    }
    const std::size_t colon = view.find(':');
    if (colon == std::string_view::npos) continue;
    current = std::string(Trimmed(view.substr(0, colon)));
    if (current == "unseen") AddSequenceNumbers(view.substr(colon + 1), states.unread, kMaxStates);
  }
  states.kind = MhReadStates::Kind::Sequences;
  return true;
}

}  // namespace

SourceReadState MaildirReadState(std::string_view file_name, bool in_new) {
  if (in_new) return SourceReadState::Unread;
  std::size_t info = std::string_view::npos;
  for (std::string_view marker : {":2,", "!2,", ";2,"}) {
    const std::size_t at = file_name.rfind(marker);
    if (at != std::string_view::npos && (info == std::string_view::npos || at > info)) info = at;
  }
  if (info == std::string_view::npos) return SourceReadState::Unread;
  return file_name.substr(info + 3).find('S') != std::string_view::npos ? SourceReadState::Read
                                                                          : SourceReadState::Unread;
}

SourceReadState MhReadStates::StateOf(long long number) const {
  const auto found = unread.find(number);
  switch (kind) {
    case Kind::None:
      return SourceReadState::Unknown;
    case Kind::Marks:
      return found == unread.end() || found->second ? SourceReadState::Unread : SourceReadState::Read;
    case Kind::Sequences:
      return found != unread.end() ? SourceReadState::Unread : SourceReadState::Read;
  }
  return SourceReadState::Unknown;
}

void AddSequenceNumbers(std::string_view value, std::unordered_map<long long, bool>& into, std::size_t limit) {
  std::istringstream words{std::string(value)};
  std::string word;
  while (words >> word && into.size() < limit) {
    const std::size_t dash = word.find('-');
    try {
      const long long first = std::stoll(word.substr(0, dash));
      const long long last = dash == std::string::npos ? first : std::stoll(word.substr(dash + 1));
      for (long long n = first; n <= last && into.size() < limit; ++n) into[n] = true;
    } catch (const std::exception&) {
      // A word that is not a number or range says nothing.
    }
  }
}

MhReadStates ReadMhReadStates(const std::string& native_directory) {
  MhReadStates states;
  const std::filesystem::path dir(native_directory);
  if (ReadMarkFile(dir / kSylpheedMarkFile, states)) return states;
  states.unread.clear();
  if (ReadMarkFile(dir / kClawsMarkFile, states)) return states;
  states.unread.clear();
  if (!ReadSequences(dir / ".mh_sequences", states)) states.kind = MhReadStates::Kind::None;
  return states;
}

SourceReadState HeaderReadState(std::optional<std::string_view> mozilla_status,
                                std::optional<std::string_view> status) {
  if (const std::optional<std::uint32_t> flags = MozillaFlags(mozilla_status)) {
    return (*flags & kMozillaRead) != 0 ? SourceReadState::Read : SourceReadState::Unread;
  }
  if (status) return Trimmed(*status).find('R') != std::string_view::npos ? SourceReadState::Read : SourceReadState::Unread;
  return SourceReadState::Unknown;
}

bool IsExpungedByMozilla(std::optional<std::string_view> mozilla_status) {
  const std::optional<std::uint32_t> flags = MozillaFlags(mozilla_status);
  return flags && (*flags & kMozillaExpunged) != 0;
}

}  // namespace lp
