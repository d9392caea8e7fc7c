#pragma once

#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTreeView>
#include <initializer_list>
#include <string>

#include "codec/spool_analyser.h"
#include "tests/support/recording_user_interface.h"
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

// A test on the program started that way: commands run through the main
// window's router with the receive box active, on the rows selected.
class ThreeMailInboxTest : public ::testing::Test {
 protected:
  void SetUp() override { StartWithThreeMailInbox(program_, data_.path(), ui_, inbox_); }

  bool Run(int command) {
    program_.window->mdi().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(inbox_->parentWidget()));
    return program_.window->router().Run(command);
  }
  void Select(std::initializer_list<int> rows) {
    QItemSelectionModel& selection = *inbox_->list().selectionModel();
    selection.clearSelection();
    for (int row : rows) {
      selection.select(inbox_->ListIndexOfRow(row), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }

  TempDirectory data_{true};
  RecordingUserInterface ui_;
  DesktopProgram program_;
  MailboxView* inbox_ = nullptr;
};

}  // namespace lp::testing
