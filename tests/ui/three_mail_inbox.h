#pragma once

#include <gtest/gtest.h>

#include <string>

#include "codec/spool_analyser.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/desktop_program.h"
#include "ui/mailbox_view.h"

// The desktop program started on a data directory whose receive box is open
// and holds the three mails of tests/data/ui/receive_three_mails.log
// ("会議案内", "report", "forwarded"), saved. The spool stays as "inbox.log".

namespace lp::testing {

inline void StartWithThreeMailInbox(DesktopProgram& program, const std::string& data_directory, UserInterface& ui,
                                    MailboxView*& inbox) {
  program.Start(data_directory, ui);
  ASSERT_NE(program.window, nullptr);
  inbox = program.window->OpenMailbox(program.core.settings().default_file);
  ASSERT_NE(inbox, nullptr);
  WriteFileBytes("inbox.log", ReadFileBytes(std::string(LP_TEST_DATA_DIR) + "/ui/receive_three_mails.log"));
  ASSERT_EQ(AnalyseSpool(inbox->box(), "inbox.log"), 3);
  ASSERT_TRUE(inbox->box().Save().ok);
}

}  // namespace lp::testing
