#include "codec/header_lookup.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "store/store_messages.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

class HeaderLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::WriteFileBytes(dir_.File("box.lp"), "");
    ASSERT_TRUE(box_.Open("box.lp").ok);
  }

  // Appends a mail with this stored text and returns its index.
  int AddMail(const std::string& text, const std::string& message_id = {}) {
    auto mail = std::make_unique<CMail>();
    mail->message_id = message_id;
    box_.Add(std::move(mail));
    EXPECT_TRUE(box_.StoreTextOfLast(text));
    return box_.Count() - 1;
  }

  testing::TempDirectory dir_{true};
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
  CLPOSTDoc box_{profile_, ui_, commands_};
};

TEST_F(HeaderLookupTest, FindsTheValueOfOneHeaderField) {
  struct Case {
    const char* text;
    const char* name;
    const char* value;
  };
  const std::vector<Case> cases = {
      {"+OK 120 octets\r\nSubject: Hello\r\nTo: a@x\r\n\r\nbody", "Subject", "Hello"},
      {"SUBJECT: shouting\r\n\r\n", "subject", "shouting"},
      {"Subject: \x8C\x8F\x96\xBC\r\n\r\n", "Subject", "\x8C\x8F\x96\xBC"},  // 件名
      // Unfolding removes only the line break: the blanks at the fold stay.
      {"References: <a@x>\r\n\t<b@x>\r\n   <c@x>\r\nTo: t\r\n\r\n", "References", "<a@x>\t<b@x>   <c@x>"},
      {"Subject: password reset when\r\n two-factor is on\r\n\r\n", "Subject", "password reset when two-factor is on"},
      {"From: Taro Yamada\r\n <taro@x>\r\n\r\n", "From", "Taro Yamada <taro@x>"},
      // A folded line holding a ":" still continues the field.
      {"Subject: Re:\r\n\tnote: later\r\n\r\n", "Subject", "Re:\tnote: later"},
      // Another field ends the collecting; its own continuation is not taken.
      {"To: a@x\r\nCc: b@x\r\n c@x\r\n\r\n", "To", "a@x"},
      // A continuation before the field counts for nothing.
      {"X-Other: o\r\n cont\r\nTo: t\r\n\r\n", "To", "t"},
      // A later field of the same name replaces the first.
      {"X-A: 1\r\nX-A: 2\r\n\r\n", "X-A", "2"},
      // Only the blank after the ":" is layout; a field written without one
      // keeps its first character, further blanks stay.
      {"Subject:Hi\r\n\r\n", "Subject", "Hi"},
      {"Subject:   spaced\r\n\r\n", "Subject", "  spaced"},
      {"Subject:\r\n\r\n", "Subject", ""},
      // The header ends at the first empty line.
      {"To: t\r\n\r\nSubject: in the body\r\n", "Subject", ""},
      {"To: t\r\n\r\n", "Cc", ""},
      // Lines ending in a lone LF are read too.
      {"To: t\nSubject: lf\n\n", "Subject", "lf"},
  };
  for (const Case& c : cases) {
    const int index = AddMail(c.text);
    EXPECT_EQ(HeaderValue(box_, index, c.name), c.value) << c.text;
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(HeaderLookupTest, MissingRecordOrTextGivesAnEmptyValue) {
  EXPECT_EQ(HeaderValue(box_, 0, "To"), "");
  EXPECT_EQ(ReplyReferences(box_, -1), "");

  const int index = AddMail("To: t\r\n\r\n");
  ASSERT_TRUE(RemoveFile(box_.TextFilePath()));
  EXPECT_EQ(HeaderValue(box_, index, "To"), "");
  EXPECT_EQ(ui_.messages, std::vector<std::string>{store_messages::kTextFileOpenFailed});
}

TEST_F(HeaderLookupTest, ReplyReferencesChainTheMessageId) {
  struct Case {
    const char* text;
    const char* message_id;
    const char* references;
  };
  const std::vector<Case> cases = {
      {"To: t\r\n\r\n", "<m@x>", "<m@x>"},
      {"References: <a@x>\r\n\r\n", "<m@x>", "<a@x> <m@x>"},
      // The oldest reference goes when there are several.
      {"References: <a@x> <b@x> <c@x>\r\n\r\n", "<m@x>", "<b@x> <c@x> <m@x>"},
      // Folded references stand one blank apart, the oldest dropped as well.
      {"References: <a@x>\r\n\t<b@x>\r\n  <c@x>\r\n\r\n", "<m@x>", "<b@x> <c@x> <m@x>"},
      {"References: <a@x> <b@x>\r\n\r\n", "", "<b@x>"},
      {"To: t\r\n\r\n", "", ""},
  };
  for (const Case& c : cases) {
    const int index = AddMail(c.text, c.message_id);
    EXPECT_EQ(ReplyReferences(box_, index), c.references) << c.text;
  }
}

}  // namespace
}  // namespace lp
