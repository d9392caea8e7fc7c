#include <string>

#include <gtest/gtest.h>

#include "cli/command_table.h"
#include "desktop/desktop_options.h"
#include "manual/manual_page.h"

namespace lp {
namespace {

TEST(ManualPageTest, RoffTextEscapesWhatRoffWouldTakeAsMarkup) {
  struct Case {
    const char* text;
    const char* roff;
  };
  const Case cases[] = {
      {"--data-dir", "\\-\\-data\\-dir"},
      {"C:\\mail", "C:\\email"},
      {".lp files", "\\&.lp files"},
      {"'quoted'", "\\&'quoted'"},
      {"受信.lp", "受信.lp"},
  };
  for (const Case& c : cases) EXPECT_EQ(RoffText(c.text), c.roff) << c.text;
}

// Both languages describe every command and option of the programs.
TEST(ManualPageTest, PagesDescribeEveryCommandAndOptionInBothLanguages) {
  for (const ManualLanguage language : {ManualLanguage::English, ManualLanguage::Japanese}) {
    const bool japanese = language == ManualLanguage::Japanese;
    const std::string cli = CliManualPage(language, "9.8.7");
    EXPECT_EQ(cli.rfind(".TH lanternpost\\-cli 1 \"\" \"Lanternpost 9.8.7\"", 0), 0u);
    for (const CliCommand& command : CliCommands()) {
      EXPECT_NE(cli.find(".TP\n\\fB" + RoffText(command.name) + "\\fR"), std::string::npos) << command.name;
      EXPECT_NE(cli.find(RoffText(japanese ? command.japanese : command.english)), std::string::npos) << command.name;
      for (const CliOption& option : command.options) {
        EXPECT_NE(cli.find(RoffText(japanese ? option.japanese : option.english)), std::string::npos) << option.name;
      }
    }
    const std::string desktop = DesktopManualPage(language, "9.8.7");
    for (const DesktopOption& option : DesktopOptions()) {
      EXPECT_NE(desktop.find("\\fB\\-\\-" + RoffText(option.name) + "\\fR"), std::string::npos) << option.name;
    }
    for (const DesktopRequest& request : DesktopRequests()) {
      EXPECT_NE(desktop.find(RoffText(japanese ? request.japanese : request.english)), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace lp
