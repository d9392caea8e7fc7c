#include "store/mail_import_keys.h"

#include "platform/file_system.h"

namespace lp {
namespace {

std::string IdentityKey(std::string_view message_id, std::int32_t date) {
  std::string key = "I";
  key += message_id;
  key += '\n';
  key += std::to_string(date);
  return key;
}

std::string DigestKey(std::string_view hex_digest) { return "D" + std::string(hex_digest); }

}  // namespace

std::optional<std::string> DigestOfStatusLine(std::string_view first_line) {
  const std::size_t length = kImportStatusLine.size() + kImportDigestPrefix.size();
  if (first_line.size() < length + kImportDigestHexLength || !first_line.starts_with(kImportStatusLine) ||
      first_line.substr(kImportStatusLine.size(), kImportDigestPrefix.size()) != kImportDigestPrefix) {
    return std::nullopt;
  }
  return std::string(first_line.substr(length, kImportDigestHexLength));
}

void ImportKeys::AddBox(CLPOSTDoc& box) {
  File text;
  const bool text_open = text.Open(box.TextFilePath(), File::Mode::Read);
  std::string head(kImportStatusLine.size() + kImportDigestPrefix.size() + kImportDigestHexLength, '\0');
  for (int i = 0; i < box.Count(); ++i) {
    const CMail& mail = *box.RecordAt(i);
    if (!mail.message_id.empty()) keys_.insert(IdentityKey(mail.message_id, mail.date));
    if (!text_open || mail.text_end < mail.text_start + head.size() || !text.Seek(mail.text_start)) continue;
    if (text.ReadFull(head.data(), head.size()) != static_cast<std::int64_t>(head.size())) continue;
    if (std::optional<std::string> digest = DigestOfStatusLine(head)) keys_.insert(DigestKey(*digest));
  }
}

bool ImportKeys::InsertIdentity(std::string_view message_id, std::int32_t date) {
  return keys_.insert(IdentityKey(message_id, date)).second;
}

bool ImportKeys::InsertDigest(std::string_view hex_digest) { return keys_.insert(DigestKey(hex_digest)).second; }

bool ImportKeys::HasDigest(std::string_view hex_digest) const { return keys_.contains(DigestKey(hex_digest)); }

}  // namespace lp
