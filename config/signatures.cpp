#include "config/signatures.h"

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <deque>
#include <optional>

#include "config/config_messages.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"

namespace lp {

namespace {

constexpr char kFirstSignatureFile[] = "signe1.txt";
constexpr char kDefaultDirectory[] = "Signe";

std::string NumberedKey(const char* prefix, std::size_t number) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%s%02zu", prefix, number);
  return buffer;
}

std::string DefaultName(std::size_t number) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, kSignatureNameFormat, number);
  return buffer;
}

std::string DefaultFile(std::size_t number) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "signe%zu.txt", number);
  return buffer;
}

}  // namespace

void CSigneMenuArray::Load(const Profile& profile) {
  File first;
  bool beside = first.Open(kFirstSignatureFile, File::Mode::Read);
  directory_ = profile.GetString("Signe", "Dir", beside ? "" : kDefaultDirectory);
  int count = std::clamp(profile.GetInt("Signe", "SetCount", 5), 0, static_cast<int>(kMaxSignatures));
  entries_.clear();
  for (std::size_t number = 1; number <= static_cast<std::size_t>(count); ++number) {
    Signature signature;
    signature.name = profile.GetString("Signe", NumberedKey("Name", number), DefaultName(number));
    signature.file = profile.GetString("Signe", NumberedKey("File", number), DefaultFile(number));
    entries_.push_back(std::move(signature));
  }
}

bool CSigneMenuArray::Save(Profile& profile) const {
  std::deque<std::string> texts;
  std::vector<ProfileEntry> entries;
  auto add = [&](std::string key, std::string_view value) {
    texts.push_back(std::move(key));
    entries.push_back({"Signe", texts.back(), value});
  };
  add("Dir", directory_);
  texts.push_back(std::to_string(entries_.size()));
  entries.push_back({"Signe", "SetCount", texts.back()});
  for (std::size_t number = 1; number <= entries_.size(); ++number) {
    add(NumberedKey("Name", number), entries_[number - 1].name);
    add(NumberedKey("File", number), entries_[number - 1].file);
  }
  return profile.WriteStrings(entries);
}

bool CSigneMenuArray::Append(Signature signature) {
  if (entries_.size() >= kMaxSignatures) return false;
  entries_.push_back(std::move(signature));
  return true;
}

std::string CSigneMenuArray::FilePath(std::size_t number) const {
  if (number == 0 || number > entries_.size()) return {};
  return JoinPath(directory_, entries_[number - 1].file);
}

std::string CSigneMenuArray::Text(std::size_t number) const {
  std::string path = FilePath(number);
  if (path.empty()) return {};
  File file;
  if (!file.Open(path, File::Mode::Read)) return {};
  std::optional<std::uint64_t> size = file.Size();
  std::size_t limit = size ? static_cast<std::size_t>(std::min<std::uint64_t>(*size, kMaxTextBytes)) : kMaxTextBytes;
  std::string bytes(limit, '\0');
  std::int64_t read = file.ReadFull(bytes.data(), bytes.size());
  if (read < 0) return {};
  bytes.resize(static_cast<std::size_t>(read));
  return SignatureTextFromFileBytes(bytes);
}

std::string SignatureTextFromFileBytes(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 16);
  while (!bytes.empty()) {
    std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    text.append(line);
    text += "\r\n";
    if (end == std::string_view::npos) break;
    bytes.remove_prefix(end + 1);
  }
  return text;
}

}  // namespace lp
