#include "net/smtp_reply_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lp {
namespace {

TEST(SmtpReplyCodeTest, ReadsTheLeadingDigitsBeforeTheFirstBlank) {
  const std::pair<const char*, int> cases[] = {
      {"250 ok\r\n", 250},     {"250-first\r\n250 last\r\n", 250}, {"354\r\n", 354}, {"", 0},
      {"hello 250\r\n", 0},    {"25x ok", 25},                      {" 250", 0},      {"99999999999999 x", 0},
      {"235 2.7.0 ok\r\n", 235},
  };
  for (const auto& [reply, code] : cases) EXPECT_EQ(SmtpReplyCode(reply), code) << reply;
}

TEST(SmtpReplyCodeTest, ContinuationLines) {
  EXPECT_TRUE(IsSmtpContinuationLine("250-PIPELINING\r\n"));
  EXPECT_TRUE(IsSmtpContinuationLine("220-"));
  EXPECT_FALSE(IsSmtpContinuationLine("250 ok\r\n"));
  EXPECT_FALSE(IsSmtpContinuationLine("250\r\n"));
  EXPECT_FALSE(IsSmtpContinuationLine("2x0-no\r\n"));
  EXPECT_FALSE(IsSmtpContinuationLine("-"));
}

// Feeds `pieces` one after the other and collects each complete reply.
std::vector<std::string> Gather(const std::vector<std::string>& pieces) {
  SmtpReplyReader reader;
  std::vector<std::string> replies;
  for (const std::string& piece : pieces) {
    std::string_view bytes = piece;
    while (!bytes.empty()) {
      const SmtpReplyReader::Status status = reader.Feed(bytes);
      if (status == SmtpReplyReader::Status::Complete) replies.push_back(reader.Reply());
      if (status == SmtpReplyReader::Status::TooLong) {
        replies.push_back("<too long>");
        return replies;
      }
    }
  }
  return replies;
}

TEST(SmtpReplyReaderTest, GathersRepliesWhereverTheyAreCut) {
  const std::string stream = "250-mail.example.jp\r\n250-AUTH CRAM-MD5\r\n250 8BITMIME\r\n334 Y2hhbGxlbmdl\r\n354 go\n";
  const std::vector<std::string> expected = {"250-mail.example.jp\r\n250-AUTH CRAM-MD5\r\n250 8BITMIME\r\n",
                                             "334 Y2hhbGxlbmdl\r\n", "354 go\n"};
  EXPECT_EQ(Gather({stream}), expected);
  for (std::size_t cut = 1; cut < stream.size(); ++cut) {
    EXPECT_EQ(Gather({stream.substr(0, cut), stream.substr(cut)}), expected) << cut;
  }
  std::vector<std::string> bytes;
  for (const char c : stream) bytes.emplace_back(1, c);
  EXPECT_EQ(Gather(bytes), expected);
}

TEST(SmtpReplyReaderTest, LastLineWithoutItsLineEndIsNotComplete) {
  EXPECT_TRUE(Gather({"250-a\r\n250 b"}).empty());
  EXPECT_TRUE(Gather({"250-a\r\n"}).empty());
}

TEST(SmtpReplyReaderTest, BoundsLinesAndReplies) {
  EXPECT_EQ(Gather({std::string(SmtpReplyReader::kMaxLine + 100, 'x')}), std::vector<std::string>{"<too long>"});
  std::string many;
  while (many.size() <= SmtpReplyReader::kMaxReply) many += "250-" + std::string(100, 'y') + "\r\n";
  EXPECT_EQ(Gather({many, "250 end\r\n"}), std::vector<std::string>{"<too long>"});
  // A line at the bound still passes.
  const std::string longest = "250 " + std::string(SmtpReplyReader::kMaxLine - 4, 'z') + "\r\n";
  EXPECT_EQ(Gather({longest}), std::vector<std::string>{longest});
}

}  // namespace
}  // namespace lp
