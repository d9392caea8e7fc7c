#include "store/mail_record.h"

#include <string>

#include <gtest/gtest.h>

namespace lp {
namespace {

std::string SerializeFields(const CMail& mail) {
  std::string out;
  ObjectArchiveWriter writer(out, CMail::kArchiveClass);
  mail.Serialize(writer);
  return out;
}

TEST(CMail, NewRecordIsEmptyAndSerialisesToTheSmallestSize) {
  const CMail mail;
  EXPECT_EQ(mail.status, kStatusRead);
  const std::string bytes = SerializeFields(mail);
  // The smallest size counts the item's 2-byte class tag as well.
  EXPECT_EQ(bytes.size() + 2, CMail::kMinArchivedSize);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\x64\x00", 2));
}

TEST(CMail, FieldsRoundTripAndWordsKeepTheirLow16Bits) {
  CMail mail;
  mail.to = "to@example.jp";
  mail.from = "\x8E\x52\x93\x63 <yamada@example.jp>";  // 山田
  mail.subject = std::string(300, 's');
  mail.date = -5;
  mail.cc = "cc";
  mail.bcc = "bcc";
  mail.message_id = "<id@example.jp>";
  mail.attachments = "/a/b\n/a/c";
  mail.status = 0x12344;  // only 0x2344 is stored
  mail.signature = 2;
  mail.flags = kFlagHasReplyTo;
  mail.label = -1;  // stored as 0xFFFF, loaded zero-extended
  mail.text_start = 0xFFFFFFF0;
  mail.text_end = 0xFFFFFFFF;

  const std::string bytes = SerializeFields(mail);
  ObjectArchiveReader reader(bytes, CMail::kArchiveClass);
  CMail back;
  ASSERT_TRUE(back.Deserialize(reader));
  EXPECT_TRUE(reader.ExpectEnd());
  EXPECT_EQ(back.to, mail.to);
  EXPECT_EQ(back.from, mail.from);
  EXPECT_EQ(back.subject, mail.subject);
  EXPECT_EQ(back.date, -5);
  EXPECT_EQ(back.cc, "cc");
  EXPECT_EQ(back.bcc, "bcc");
  EXPECT_EQ(back.message_id, mail.message_id);
  EXPECT_EQ(back.attachments, mail.attachments);
  EXPECT_EQ(back.status, 0x2344);
  EXPECT_EQ(back.signature, 2);
  EXPECT_EQ(back.flags, kFlagHasReplyTo);
  EXPECT_EQ(back.label, 0xFFFF);
  EXPECT_EQ(back.text_start, 0xFFFFFFF0u);
  EXPECT_EQ(back.text_end, 0xFFFFFFFFu);
}

TEST(CMail, VersionWordIsNotChecked) {
  std::string bytes = SerializeFields(CMail{});
  bytes[0] = 7;
  ObjectArchiveReader reader(bytes, CMail::kArchiveClass);
  CMail back;
  EXPECT_TRUE(back.Deserialize(reader));
}

TEST(CMail, TruncatedRecordFails) {
  CMail mail;
  mail.subject = "subject";
  const std::string bytes = SerializeFields(mail);
  for (std::size_t cut : {std::size_t{1}, std::size_t{10}, bytes.size() - 1}) {
    ObjectArchiveReader reader(std::string_view(bytes).substr(0, cut), CMail::kArchiveClass);
    CMail back;
    EXPECT_FALSE(back.Deserialize(reader)) << cut;
  }
}

}  // namespace
}  // namespace lp
