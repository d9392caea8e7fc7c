#include "app/compose_save.h"

#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/compose_messages.h"
#include "tests/app/compose_test_boxes.h"

namespace lp {
namespace {

using testing::Sjis;

constexpr std::time_t kNow = 1'700'000'000;

ComposeWindowSettings Boxes(bool draft_in_use) {
  ComposeWindowSettings settings;
  settings.draft_box_in_use = draft_in_use;
  settings.send_box = Sjis("送信.lp");
  settings.draft_box = Sjis("下書き.lp");
  return settings;
}

TEST(PlanComposeSave, StatusAndDestinationOfEachCommand) {
  struct Case {
    const char* name;
    ComposeSave command;
    std::string window_box;
    std::optional<int> edited_status;
    bool draft_in_use;
    ComposeSavePlan plan;
  };
  const std::string send = Sjis("送信.lp");
  const std::string draft = Sjis("下書き.lp");
  const std::string inbox = Sjis("受信.lp");
  const std::vector<Case> cases = {
      {"send from the draft box", ComposeSave::Send, draft, std::nullopt, true, {kStatusUnsent, send}},
      {"send from the send box stays", ComposeSave::Send, send, kStatusSent, true, {kStatusUnsent, ""}},
      {"send from a reply's box", ComposeSave::Send, inbox, std::nullopt, true, {kStatusUnsent, send}},
      {"save in the send box goes to the drafts", ComposeSave::Save, send, kStatusUnsent, true, {kStatusSent, draft}},
      {"save without a draft box stays", ComposeSave::Save, send, kStatusUnsent, false, {kStatusSent, ""}},
      {"save in the draft box stays", ComposeSave::Save, draft, std::nullopt, true, {kStatusSent, ""}},
      {"save edited unsent goes to the send box", ComposeSave::SaveEdited, draft, kStatusUnsent, true,
       {kStatusUnsent, send}},
      {"save edited new mail counts as unsent", ComposeSave::SaveEdited, draft, std::nullopt, true,
       {kStatusUnsent, send}},
      {"save edited sent mail stays", ComposeSave::SaveEdited, draft, kStatusSent, true, {kStatusSent, ""}},
      {"save edited unsent in the send box stays", ComposeSave::SaveEdited, send, kStatusUnsent, false,
       {kStatusUnsent, ""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlanComposeSave(c.command, c.window_box, c.edited_status, Boxes(c.draft_in_use)), c.plan) << c.name;
  }
}

class ComposeSaveTest : public testing::ComposeBoxTest {
 protected:
  void SetUp() override {
    ComposeBoxTest::SetUp();
    draft_ = OpenBox(Sjis("下書き.lp"));
    form_.to = Sjis("花子") + " <hanako@example.jp>";
    form_.from = "Taro <taro@example.jp>";
    form_.subject = "Re:" + Sjis("会議");
    form_.cc = "c@example.jp";
    form_.bcc = "b@example.jp";
    form_.attach = "/tmp/a.pdf";
    form_.signature = 2;
    form_.body = Sjis("了解です。\r\n>明日");
    form_.references = "<b@x> <c@x>";
  }

  std::unique_ptr<CLPOSTDoc> draft_;
  ComposeForm form_;
};

TEST_F(ComposeSaveTest, SendingANewMailQueuesItInTheSendBox) {
  const auto saved = SaveComposedMail(form_, ComposeSave::Send, {*draft_}, Boxes(true), kNow);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->box_path, Sjis("送信.lp"));
  EXPECT_EQ(draft_->Count(), 0);
  auto send = OpenBox(Sjis("送信.lp"));
  ASSERT_EQ(send->Count(), 1);
  const CMail& mail = *send->RecordAt(0);
  EXPECT_EQ(mail.to, form_.to);
  EXPECT_EQ(mail.from, form_.from);
  EXPECT_EQ(mail.subject, form_.subject);
  EXPECT_EQ(mail.cc, form_.cc);
  EXPECT_EQ(mail.bcc, form_.bcc);
  EXPECT_EQ(mail.attachments, form_.attach);
  EXPECT_EQ(mail.signature, 2);
  EXPECT_EQ(mail.message_id, form_.references);
  EXPECT_EQ(mail.status, kStatusUnsent);
  EXPECT_EQ(mail.date, kNow);
  EXPECT_EQ(TextOf(*send, 0), form_.body);
}

TEST_F(ComposeSaveTest, SavingANewMailKeepsItAsSentInTheWindowsBox) {
  const auto saved = SaveComposedMail(form_, ComposeSave::Save, {*draft_}, Boxes(true), kNow);
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->serial, draft_->RecordAt(0)->serial);
  ASSERT_EQ(draft_->Count(), 1);
  EXPECT_EQ(draft_->RecordAt(0)->status, kStatusSent);
  EXPECT_EQ(OpenBox(Sjis("下書き.lp"))->Count(), 1);  // saved on disk
}

TEST_F(ComposeSaveTest, EditedMailIsUpdatedInPlaceOrMoved) {
  struct Case {
    const char* name;
    ComposeSave command;
    int status_before;
    int status_after;
    bool moves_to_send_box;
  };
  const std::vector<Case> cases = {
      {"save edited sent mail", ComposeSave::SaveEdited, kStatusSent, kStatusSent, false},
      {"save edited unsent mail", ComposeSave::SaveEdited, kStatusUnsent, kStatusUnsent, true},
      {"save", ComposeSave::Save, kStatusUnsent, kStatusSent, false},
      {"send", ComposeSave::Send, kStatusSent, kStatusUnsent, true},
  };
  for (const Case& c : cases) {
    CMail stored;
    stored.to = "old@example.jp";
    stored.subject = "old";
    stored.message_id = "<kept@x>";
    stored.status = c.status_before;
    const int index = AddMail(*draft_, stored, "old text");
    OpenBoxRegistry registry(*profile_, ui_, commands_);
    const auto saved =
        SaveComposedMail(form_, c.command, {*draft_, draft_->RecordAt(index)->serial, &registry}, Boxes(true), kNow);
    ASSERT_TRUE(saved.has_value()) << c.name;
    auto box = c.moves_to_send_box ? OpenBox(Sjis("送信.lp")) : OpenBox(Sjis("下書き.lp"));
    const int at = c.moves_to_send_box ? box->Count() - 1 : index;
    EXPECT_EQ(saved->box_path, box->PathName() == draft_->PathName() ? draft_->PathName() : Sjis("送信.lp"))
        << c.name;
    EXPECT_EQ(draft_->Count(), c.moves_to_send_box ? index : index + 1) << c.name;
    const CMail& mail = *box->RecordAt(at);
    EXPECT_EQ(mail.to, form_.to) << c.name;
    EXPECT_EQ(mail.subject, form_.subject) << c.name;
    EXPECT_EQ(mail.status, c.status_after) << c.name;
    EXPECT_EQ(mail.message_id, "<kept@x>") << c.name;
    EXPECT_EQ(mail.date, kNow) << c.name;
    EXPECT_EQ(TextOf(*box, at), form_.body) << c.name;
  }
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(ComposeSaveTest, AnEditedMailThatLeftTheBoxIsSavedAsANewMailOnlyWhenTheUserSaysSo) {
  CMail stored;
  stored.subject = "edited";
  stored.status = kStatusSent;
  (void)AddMail(*draft_, stored, "old text");
  const std::uint64_t serial = draft_->RecordAt(0)->serial;
  stored.subject = "other";
  (void)AddMail(*draft_, stored, "other text");
  (void)draft_->RemoveAt(0);
  // The window saw a draft: saved again it stays one, not queued.
  const ComposeTarget target{*draft_, serial, nullptr, kStatusSent};

  ui_.QueueAnswer(Answer::Cancel);
  EXPECT_FALSE(SaveComposedMail(form_, ComposeSave::SaveEdited, target, Boxes(true), kNow));
  ASSERT_EQ(draft_->Count(), 1);
  ui_.QueueAnswer(Answer::Ok);
  const auto saved = SaveComposedMail(form_, ComposeSave::SaveEdited, target, Boxes(true), kNow);
  ASSERT_TRUE(saved.has_value());
  ASSERT_EQ(ui_.questions.size(), 2u);
  EXPECT_EQ(ui_.questions[1].text, compose_window_text::kAskSaveGoneMailAsNew);
  ASSERT_EQ(draft_->Count(), 2);
  EXPECT_EQ(draft_->RecordAt(0)->subject, "other");
  EXPECT_EQ(TextOf(*draft_, 0), "other text");
  EXPECT_EQ(draft_->RecordAt(1)->subject, form_.subject);
  EXPECT_EQ(draft_->RecordAt(1)->status, kStatusSent);
  EXPECT_EQ(saved->serial, draft_->RecordAt(1)->serial);
}

TEST_F(ComposeSaveTest, AMailThatCannotBeWrittenKeepsItsOldRecord) {
  CMail stored;
  stored.subject = "old";
  stored.status = kStatusSent;
  const int index = AddMail(*draft_, stored, "old text");
  // The text file turns into a directory: nothing can be appended to it.
  ASSERT_TRUE(RemoveFile(draft_->TextFilePath()));
  ASSERT_TRUE(MakeDirectory(draft_->TextFilePath()));

  EXPECT_FALSE(
      SaveComposedMail(form_, ComposeSave::SaveEdited, {*draft_, draft_->RecordAt(index)->serial}, Boxes(true), kNow));
  EXPECT_EQ(draft_->RecordAt(index)->subject, "old");
  EXPECT_FALSE(SaveComposedMail(form_, ComposeSave::Save, {*draft_}, Boxes(true), kNow));
  EXPECT_EQ(draft_->Count(), 1);
  const std::vector<std::string> expected(2, compose_window_text::kMailWriteFailed);
  EXPECT_EQ(ui_.messages, expected);
}

}  // namespace
}  // namespace lp
