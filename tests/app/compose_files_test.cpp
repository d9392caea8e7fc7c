#include "app/compose_files.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/mail_template.h"
#include "tests/app/compose_test_boxes.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::Sjis;
using testing::WriteFileBytes;

class ComposeFilesTest : public testing::ComposeBoxTest {
 protected:
  void SetUp() override {
    ComposeBoxTest::SetUp();
    form_.to = "old@example.jp";
    form_.cc = "keep@example.jp";
    form_.subject = "old";
    form_.body = "old body";
    WriteFileBytes(ToNativePath(template_path_), "To: new@example.jp\r\n\r\n" + Sjis("お世話になります。") + "\r\n");
  }

  const std::string template_path_ = Sjis("御礼.txt");
  ComposeForm form_;
};

TEST_F(ComposeFilesTest, ApplyingATemplateSetsSubjectFieldsAndBody) {
  ASSERT_TRUE(ApplyTemplateFile(*profile_, ui_, template_path_, form_));
  EXPECT_EQ(form_.subject, Sjis("御礼"));
  EXPECT_EQ(form_.to, "new@example.jp");
  EXPECT_EQ(form_.cc, "keep@example.jp");  // the template names no Cc
  EXPECT_EQ(form_.body, Sjis("お世話になります。") + "\r\n");
  EXPECT_TRUE(ui_.questions.empty());
}

TEST_F(ComposeFilesTest, TheTemplateSettingAsksFirst) {
  WriteFileBytes(dir_.File("lpost.conf"), "[System]\r\nTemplate=1\r\n");
  Profile profile(dir_.File("lpost.conf"));
  const ComposeForm before = form_;
  EXPECT_FALSE(ApplyTemplateFile(profile, ui_, template_path_, form_));  // Cancel, unscripted
  EXPECT_EQ(form_, before);
  ASSERT_EQ(ui_.questions.size(), 1u);
  EXPECT_EQ(ui_.questions[0].text, Sjis("題名と本文を 御礼.txtのファイル名と内容にします"));

  ui_.QueueAnswer(Answer::Ok);
  EXPECT_TRUE(ApplyTemplateFile(profile, ui_, template_path_, form_));
  EXPECT_EQ(form_.subject, Sjis("御礼"));
}

TEST_F(ComposeFilesTest, UnreadableFilesLeaveTheFormAndSaySo) {
  const ComposeForm before = form_;
  EXPECT_FALSE(ApplyTemplateFile(*profile_, ui_, "missing.txt", form_));
  ASSERT_TRUE(MakeDirectory("folder.txt"));
  EXPECT_FALSE(ApplyTemplateFile(*profile_, ui_, "folder.txt", form_));
  EXPECT_EQ(form_, before);
  EXPECT_FALSE(ReadFileForInsertion(ui_, "missing.txt"));
  EXPECT_FALSE(SaveTemplateFile(ui_, "no-such-dir/t.txt", form_));
  const std::vector<std::string> expected = {Sjis("ファイルが開けません"), Sjis("ファイルが開けません"),
                                             Sjis("ファイルが見つかりません"), Sjis("ファイルが開けません")};
  EXPECT_EQ(ui_.messages, expected);
}

TEST_F(ComposeFilesTest, SavedTemplateAndInsertedText) {
  ASSERT_TRUE(SaveTemplateFile(ui_, "saved.txt", form_));
  EXPECT_EQ(ReadFileBytes(dir_.File("saved.txt")),
            FormatMailTemplate({form_.to, form_.subject, form_.cc, form_.bcc, form_.attach, form_.body}));

  WriteFileBytes(dir_.File("insert.txt"), "line 1\nline 2\n");
  EXPECT_EQ(ReadFileForInsertion(ui_, "insert.txt"), "line 1\r\nline 2");
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace lp
