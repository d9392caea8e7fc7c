#include "net/sent_journal.h"

#include <openssl/evp.h>

#include <cstdint>

#include "net/hex_digest.h"

namespace lp {
namespace {

constexpr std::size_t kFingerprintDigits = 64;

bool IsLowerHex(std::string_view text) {
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

// Each field with its length in front, so that no two different mails
// give the same bytes.
void AddField(std::string& bytes, std::string_view field) {
  bytes += std::to_string(field.size());
  bytes += ':';
  bytes += field;
}

}  // namespace

std::string SentJournalPath(std::string_view box_index_path) {
  std::string path(box_index_path);
  if (path.size() > 3 && path.ends_with(".lp")) path.resize(path.size() - 3);
  return path + ".sentlog";
}

std::string MailFingerprint(const CMail& record, std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() + 256);
  for (const std::string* field : {&record.to, &record.from, &record.subject, &record.cc, &record.bcc,
                                   &record.message_id, &record.attachments}) {
    AddField(bytes, *field);
  }
  AddField(bytes, std::to_string(record.date));
  AddField(bytes, std::to_string(record.signature));
  AddField(bytes, text);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1) return {};
  return LowerHex(digest, length);
}

std::vector<SentJournalEntry> ReadSentJournal(std::string_view path) {
  std::vector<SentJournalEntry> entries;
  const std::optional<std::string> text = PathExists(path) ? ReadWholeFile(path) : std::nullopt;
  if (!text) return entries;
  std::string_view rest = *text;
  for (std::size_t end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    if (line.size() < kFingerprintDigits + 2 || line[kFingerprintDigits] != ' ') continue;
    const std::string_view fingerprint = line.substr(0, kFingerprintDigits);
    if (!IsLowerHex(fingerprint)) continue;
    entries.push_back({std::string(fingerprint), std::string(line.substr(kFingerprintDigits + 1))});
  }
  return entries;
}

bool SentJournal::Append(const SentJournalEntry& entry) {
  if (entry.fingerprint.size() != kFingerprintDigits) return false;
  if (!file_.IsOpen() && !file_.Open(path_, File::Mode::Append)) return false;
  std::string line = entry.fingerprint;
  line += ' ';
  for (const char c : entry.message_id) {
    if (c != '\r' && c != '\n') line += c;
  }
  line += '\n';
  // One write per line: a cut-off write leaves at most one partial line,
  // which the reader skips.
  return file_.Write(line) && file_.Sync();
}

bool SentJournal::Remove() {
  file_.Close();
  return !PathExists(path_) || RemoveFile(path_);
}

}  // namespace lp
