#include "config/app_settings.h"

#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "platform/file_system.h"
#include "tests/support/case_name.h"
#include "tests/support/temp_directory.h"

namespace lp {
namespace {

using testing::ReadFileBytes;
using testing::TempDirectory;
using testing::WriteFileBytes;

using testing::CaseName;

// Box names as the file system shows them (UTF-8, as in this source file).
const char* const kInbox = "受信.lp";
const char* const kSendBox = "送信.lp";
const char* const kSentBox = "送信済み.lp";
const char* const kTrashBox = "ごみ箱.lp";
const char* const kDraftBox = "下書き.lp";

// Starts the way the application does, in the current directory.
AppSettings Start(Profile& profile) {
  AppSettings settings;
  settings.Load(profile);
  settings.CreateBoxesAndDirectories(profile);
  settings.RunOneTimeTransfer(profile);
  return settings;
}

TEST(AppSettings, FirstStartInEmptyDirectory) {
  TempDirectory dir(/*enter=*/true);
  Profile profile(LocateSettingsFile());
  EXPECT_EQ(profile.Path(), FromNativePath(dir.File("lpost.conf")));
  AppSettings settings = Start(profile);

  for (const char* box : {kInbox, kSendBox, kTrashBox, kDraftBox}) {
    EXPECT_TRUE(IsRegularFile(FromNativePath(dir.File(box)))) << box;
    EXPECT_EQ(ReadFileBytes(dir.File(box)), "") << box;
  }
  EXPECT_FALSE(PathExists(FromNativePath(dir.File(kSentBox))));
  for (const char* sub : {"Upload", "Attach", "Template"}) EXPECT_TRUE(IsDirectory(dir.File(sub))) << sub;
  EXPECT_EQ(ReadFileBytes(dir.File("lpost.conf")), "[System]\r\nIniTransfer=1\r\n");

  EXPECT_EQ(settings.default_file, "\x8E\xF3\x90\x4D.lp");  // 受信.lp
  EXPECT_EQ(settings.send_done_file, "\x91\x97\x90\x4D\x8D\xCF\x82\xDD.lp");  // 送信済み.lp
  EXPECT_EQ(settings.text_out_set_name, "lposttext.set");
  EXPECT_TRUE(settings.auto_indent);
  EXPECT_FALSE(settings.diamond_cursor);
  EXPECT_FALSE(settings.ime);
  EXPECT_TRUE(settings.draft);
  EXPECT_FALSE(settings.smail_done);
  EXPECT_TRUE(settings.trash);
  EXPECT_EQ(settings.labels[0].name, "");
  EXPECT_EQ(settings.labels[0].color, 0);
  for (int n = 1; n <= kLabelCount; ++n) {
    EXPECT_EQ(settings.labels[static_cast<std::size_t>(n)].color, kDefaultLabelColours[static_cast<std::size_t>(n - 1)]);
    EXPECT_EQ(settings.labels[static_cast<std::size_t>(n)].name, "");
  }
}

struct LocateCase {
  const char* name;
  bool ini;
  bool conf;
  bool ini_after;
  std::string conf_after;  // content of lpost.conf afterwards
};

class LocateSettings : public ::testing::TestWithParam<LocateCase> {};

TEST_P(LocateSettings, RenamesOnlyWhenConfIsMissing) {
  const LocateCase& c = GetParam();
  TempDirectory dir(/*enter=*/true);
  if (c.ini) WriteFileBytes(dir.File("lpost.ini"), "[System]\r\nIme=1\r\n");
  if (c.conf) WriteFileBytes(dir.File("lpost.conf"), "[System]\r\nIme=0\r\n");
  Profile profile(LocateSettingsFile());
  EXPECT_EQ(PathExists("lpost.ini"), c.ini_after);
  if (c.ini_after) {
    EXPECT_EQ(ReadFileBytes(dir.File("lpost.ini")), "[System]\r\nIme=1\r\n");
  }
  EXPECT_EQ(ReadFileBytes(dir.File("lpost.conf")), c.conf_after);
  AppSettings settings;
  settings.Load(profile);
  EXPECT_EQ(settings.ime, c.conf_after.find("Ime=1") != std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LocateSettings,
    ::testing::Values(LocateCase{"OnlyIniIsTakenOver", true, false, false, "[System]\r\nIme=1\r\n"},
                      LocateCase{"BothPresentConfIsUsed", true, true, true, "[System]\r\nIme=0\r\n"},
                      LocateCase{"OnlyConf", false, true, false, "[System]\r\nIme=0\r\n"},
                      LocateCase{"Neither", false, false, false, ""}),
    CaseName<LocateCase>);

TEST(AppSettings, LoadsEveryFieldFromTheFile) {
  TempDirectory dir(/*enter=*/true);
  WriteFileBytes(dir.File("lpost.conf"),
                 "[system]\r\n"
                 "defaultfile=in.lp\r\nSendFile=out.lp\r\nSendDoneFile=done.lp\r\n"
                 "TrashFile=bin.lp\r\nDraftFile=drafts.lp\r\n"
                 "AutoIndent=0\r\nDiamondCursor=1\r\nIme=1\r\nDraft=0\r\nSmailDone=1\r\nTrash=0\r\n"
                 "UploadDir=up\r\nAttachDir=att\r\nTemplateDir=tpl\r\nTextOutSetName=x.set\r\n"
                 "[Label]\r\nColor01=65280\r\nColor10=16711680\r\n"
                 "[Mail]\r\nLabel1=\x8B\x7D\r\nLabel10=later\r\n"  // 急
                 "[Settings]\r\nShowCmd=3\r\n");
  Profile profile(LocateSettingsFile());
  AppSettings settings = Start(profile);

  EXPECT_EQ(settings.default_file, "in.lp");
  EXPECT_EQ(settings.send_file, "out.lp");
  EXPECT_EQ(settings.trash_file, "bin.lp");
  EXPECT_EQ(settings.draft_file, "drafts.lp");
  EXPECT_EQ(settings.upload_dir, "up");
  EXPECT_EQ(settings.text_out_set_name, "x.set");
  EXPECT_FALSE(settings.auto_indent);
  EXPECT_TRUE(settings.diamond_cursor);
  EXPECT_TRUE(settings.ime);
  EXPECT_EQ(settings.labels[1].color, 65280);
  EXPECT_EQ(settings.labels[1].name, "\x8B\x7D");
  EXPECT_EQ(settings.labels[2].color, kDefaultLabelColours[1]);
  EXPECT_EQ(settings.labels[10].color, 16711680);
  EXPECT_EQ(settings.labels[10].name, "later");
  EXPECT_EQ(settings.show_cmd, 3);
  EXPECT_EQ(settings.show_cmd2, 1);

  // SmailDone on, Trash and Draft off: only the sent box joins the two fixed boxes.
  for (const char* box : {"in.lp", "out.lp", "done.lp"}) EXPECT_TRUE(IsRegularFile(box)) << box;
  for (const char* box : {"bin.lp", "drafts.lp"}) EXPECT_FALSE(PathExists(box)) << box;
  for (const char* sub : {"up", "att", "tpl"}) EXPECT_TRUE(IsDirectory(sub)) << sub;
}

TEST(AppSettings, ExistingBoxesAreLeftAsTheyAre) {
  TempDirectory dir(/*enter=*/true);
  WriteFileBytes(dir.File(kInbox), "index bytes");
  WriteFileBytes(dir.File(kTrashBox), "trash bytes");
  Profile profile(LocateSettingsFile());
  Start(profile);
  EXPECT_EQ(ReadFileBytes(dir.File(kInbox)), "index bytes");
  EXPECT_EQ(ReadFileBytes(dir.File(kTrashBox)), "trash bytes");
}

TEST(AppSettings, BoxesFollowTheFlagsAfterTheSettingsDialog) {
  TempDirectory dir(/*enter=*/true);
  Profile profile(LocateSettingsFile());
  AppSettings settings = Start(profile);
  settings.smail_done = true;
  settings.send_done_file = "\x8A\xAE\x97\xB9.lp";  // 完了.lp
  settings.upload_dir = "Files";
  settings.CreateBoxesAndDirectories(profile);
  EXPECT_TRUE(IsRegularFile(FromNativePath(dir.File("完了.lp"))));
  EXPECT_TRUE(IsDirectory("Files"));
}

struct WriteBackCase {
  const char* name;
  std::function<void(AppSettings&)> change;
  // Lines of the stored file that change (old text, new text), and what is appended.
  std::vector<std::pair<std::string, std::string>> replaced;
  std::string appended;
};

class AppSettingsWriteBack : public ::testing::TestWithParam<WriteBackCase> {};

const std::string kStoredLabels = [] {
  std::string file = "; mine\r\n[Label]\r\n";
  for (int n = 1; n <= 10; ++n) file += "Color" + std::string(n < 10 ? "0" : "") + std::to_string(n) + "=255\r\n";
  file += "[Mail]\r\n";
  for (int n = 1; n <= 10; ++n) file += "Label" + std::to_string(n) + "=\r\n";
  file += "[Settings]\r\nShowCmd=1\r\n=2,1,0,0,0,0,10,10,300,200\r\n";
  return file;
}();

TEST_P(AppSettingsWriteBack, WritesLabelsAndChangedShowStates) {
  const WriteBackCase& c = GetParam();
  TempDirectory dir(/*enter=*/true);
  WriteFileBytes(dir.File("lpost.conf"), kStoredLabels);
  Profile profile(LocateSettingsFile());
  AppSettings settings;
  settings.Load(profile);
  c.change(settings);
  ASSERT_TRUE(settings.WriteBack(profile)) << profile.LastError();

  std::string expected = kStoredLabels;
  for (const auto& [old_text, new_text] : c.replaced) {
    std::size_t at = expected.find("\n" + old_text + "\r");
    ASSERT_NE(at, std::string::npos) << old_text;
    expected.replace(at + 1, old_text.size(), new_text);
  }
  expected += c.appended;
  EXPECT_EQ(ReadFileBytes(dir.File("lpost.conf")), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AppSettingsWriteBack,
    ::testing::Values(WriteBackCase{"NothingChanged", [](AppSettings&) {}, {}, ""},
                      WriteBackCase{"LabelChanged",
                                    [](AppSettings& s) {
                                      s.labels[3].color = 32768;
                                      s.labels[3].name = "\x8B\x7D";  // 急
                                    },
                                    {{"Color03=255", "Color03=32768"}, {"Label3=", "Label3=\x8B\x7D"}},
                                    ""},
                      WriteBackCase{"ShowCmdChanged", [](AppSettings& s) { s.show_cmd = 3; },
                                    {{"ShowCmd=1", "ShowCmd=3"}}, ""},
                      WriteBackCase{"ShowCmd2ChangedAndMissing", [](AppSettings& s) { s.show_cmd2 = 3; }, {},
                                    "[Settings2]\r\nShowCmd2=3\r\n"}),
    CaseName<WriteBackCase>);

TEST(AppSettings, WriteBackOnFirstExitStoresAllLabels) {
  TempDirectory dir(/*enter=*/true);
  Profile profile(LocateSettingsFile());
  AppSettings settings;
  settings.Load(profile);
  ASSERT_TRUE(settings.WriteBack(profile));
  EXPECT_EQ(profile.GetInt("Label", "Color10", 0), kDefaultLabelColours[9]);
  EXPECT_EQ(profile.GetString("Mail", "Label10", "x"), "");
  EXPECT_EQ(profile.GetInt("Settings", "ShowCmd", -1), -1);
}

}  // namespace
}  // namespace lp

namespace lp {
namespace {

// WCAG contrast between a stored colour (red in the low byte) and a grey.
double ContrastWithGrey(int bgr, int grey) {
  const auto linear = [](int channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  const double colour = 0.2126 * linear(bgr & 0xFF) + 0.7152 * linear((bgr >> 8) & 0xFF) + 0.0722 * linear(bgr >> 16);
  const double background = linear(grey);
  return (std::max(colour, background) + 0.05) / (std::min(colour, background) + 0.05);
}

TEST(AppSettings, DefaultLabelColoursAreDistinctAndReadableOnLightAndDark) {
  const std::set<int> distinct(kDefaultLabelColours.begin(), kDefaultLabelColours.end());
  EXPECT_EQ(distinct.size(), kDefaultLabelColours.size());
  for (const int colour : kDefaultLabelColours) {
    EXPECT_GE(ContrastWithGrey(colour, 255), 3.0) << colour;   // a light list
    EXPECT_GE(ContrastWithGrey(colour, 0x2B), 3.0) << colour;  // a dark list
  }
}

}  // namespace
}  // namespace lp
