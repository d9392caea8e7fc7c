#include <gtest/gtest.h>

#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <filesystem>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "platform/code_page.h"
#include "platform/file_opener.h"
#include "tests/ui/three_mail_inbox.h"
#include "ui/help_opener.h"
#include "ui/mail_manager_view.h"

namespace lp {
namespace {

using testing::TempDirectory;
using testing::WriteFileBytes;

void PutManual(const std::string& directory) {
  std::filesystem::create_directories(directory);
  WriteFileBytes(directory + "/index.html", "<html></html>");
}

// LANTERNPOST_MANUAL_DIR for the life of the object.
class ManualDirectoryVariable {
 public:
  explicit ManualDirectoryVariable(const std::string& value) {
    if (value.empty()) {
      qunsetenv("LANTERNPOST_MANUAL_DIR");
    } else {
      qputenv("LANTERNPOST_MANUAL_DIR", QByteArray::fromStdString(value));
    }
  }
  ~ManualDirectoryVariable() { qunsetenv("LANTERNPOST_MANUAL_DIR"); }
};

TEST(HelpOpenerTest, FindsTheBuildTreesManualThenTheInstalledOne) {
  struct Case {
    const char* name;
    std::vector<std::string> manuals;  // below the temporary root
    const char* expected;              // below the temporary root
  };
  const Case cases[] = {
      {"build tree", {"build/manual/html", "usr/share/doc/lanternpost/manual"}, "build/manual/html"},
      {"installed", {"usr/share/doc/lanternpost/manual"}, "usr/share/doc/lanternpost/manual"},
      {"none: where it belongs", {}, "usr/share/doc/lanternpost/manual"},
  };
  const ManualDirectoryVariable unset("");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDirectory root;
    for (const std::string& manual : c.manuals) PutManual(root.File(manual));
    // A program in build/desktop finds build/manual/html; one in usr/bin finds usr/share/....
    const std::string program = std::string(c.expected).starts_with("build") ? "build/desktop" : "usr/bin";
    EXPECT_EQ(FindManualDirectory(QString::fromStdString(root.File(program))),
              QDir::cleanPath(QString::fromStdString(root.File(c.expected))));
  }
  TempDirectory elsewhere;
  const ManualDirectoryVariable configured(elsewhere.path());
  EXPECT_EQ(FindManualDirectory(QStringLiteral("/usr/bin")), QDir::cleanPath(QString::fromStdString(elsewhere.path())));
}

struct RecordingOpener final : FileOpener {
  bool OpenWithDefaultProgram(std::string_view sjis_path) override {
    opened.emplace_back(sjis_path);
    return true;
  }
  std::vector<std::string> opened;
};

class HelpCommandsTest : public testing::ThreeMailInboxTest {
 protected:
  void SetUp() override {
    ThreeMailInboxTest::SetUp();
    auto opener = std::make_unique<RecordingOpener>();
    opener_ = opener.get();
    program_.window->SetFileOpener(std::move(opener));
  }

  // Runs a command with the mail manager in front.
  bool RunInManager(int command) {
    for (QMdiSubWindow* window : program_.window->mdi().subWindowList()) {
      if (qobject_cast<MailManagerView*>(window->widget()) != nullptr) program_.window->mdi().setActiveSubWindow(window);
    }
    return program_.window->router().Run(command);
  }

  TempDirectory manual_;
  RecordingOpener* opener_ = nullptr;
};

TEST_F(HelpCommandsTest, HelpOpensThePageOfTheWindowInFront) {
  PutManual(manual_.path());
  const ManualDirectoryVariable variable(manual_.path());
  const std::string base = QUrl::fromLocalFile(QString::fromStdString(manual_.path())).toString().toStdString();

  ASSERT_TRUE(Run(cmd::kHelp));
  ASSERT_TRUE(RunInManager(cmd::kHelp));
  ASSERT_TRUE(RunInManager(cmd::kHelpKeyword));
  EXPECT_EQ(opener_->opened, (std::vector<std::string>{base + "/getting-started.html#list", base + "/mail-manager.html",
                                                       base + "/keywords.html"}));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(HelpCommandsTest, HelpWithoutTheManualSaysWhereItBelongs) {
  const ManualDirectoryVariable variable(manual_.File("missing"));
  ASSERT_TRUE(Run(cmd::kHelp));
  EXPECT_TRUE(opener_->opened.empty());
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(Cp932ToUtf8(ui_.messages[0]), "ヘルプファイルがありません：" + manual_.File("missing") + "/index.html");
}

}  // namespace
}  // namespace lp
