#include "store/mail_record.h"

namespace lp {
namespace {

std::uint16_t LowWord(std::int32_t value) { return static_cast<std::uint16_t>(value & 0xFFFF); }

}  // namespace

void CMail::Serialize(ObjectArchiveWriter& writer) const {
  writer.WriteWord(kVersion);
  writer.WriteString(to);
  writer.WriteString(from);
  writer.WriteString(subject);
  writer.WriteDword(static_cast<std::uint32_t>(date));
  writer.WriteString(cc);
  writer.WriteString(bcc);
  writer.WriteString(message_id);
  writer.WriteString(attachments);
  writer.WriteWord(LowWord(status));
  writer.WriteWord(LowWord(signature));
  writer.WriteWord(LowWord(flags));
  writer.WriteWord(LowWord(label));
  writer.WriteDword(text_start);
  writer.WriteDword(text_end);
}

bool CMail::Deserialize(ObjectArchiveReader& reader) {
  // The version word is read past; the fields do not depend on it.
  (void)reader.ReadWord();
  reader.ReadString(to);
  reader.ReadString(from);
  reader.ReadString(subject);
  date = static_cast<std::int32_t>(reader.ReadDword());
  reader.ReadString(cc);
  reader.ReadString(bcc);
  reader.ReadString(message_id);
  reader.ReadString(attachments);
  status = reader.ReadWord();
  signature = reader.ReadWord();
  flags = reader.ReadWord();
  label = reader.ReadWord();
  text_start = reader.ReadDword();
  text_end = reader.ReadDword();
  return reader.ok();
}

}  // namespace lp
