#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/profile.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "tests/support/recording_user_interface.h"
#include "platform/sjis_path.h"
#include "store/mailbox_document.h"
#include "tests/support/temp_directory.h"

// Boxes on disk for the mailbox operation tests: a fresh data directory
// (the working directory), its settings file and helpers that write and
// read whole boxes.

namespace lp::testing {

struct TestMail {
  TestMail(std::string subject_text, std::string mail_text, int mail_status = kStatusRead)
      : subject(std::move(subject_text)), text(std::move(mail_text)), status(mail_status) {}

  std::string subject;
  std::string text;
  int status = kStatusRead;
  std::string attachments;
};

class RecordingCommands : public CommandObserver {
 public:
  void OnCommand(int command_id) override { commands.push_back(command_id); }
  std::vector<int> commands;
};

class BoxTest : public ::testing::Test {
 protected:
  std::unique_ptr<CLPOSTDoc> NewDoc() { return std::make_unique<CLPOSTDoc>(profile_, ui_, commands_); }

  // The native path of a Shift_JIS name relative to the data directory.
  static std::string Native(const std::string& name) { return ToNativePath(AbsolutePath(name)); }

  // Writes a box holding `mails` (each text stored as a block) and returns it open.
  std::unique_ptr<CLPOSTDoc> MakeBox(const std::string& name, const std::vector<TestMail>& mails) {
    WriteFileBytes(Native(name), "");
    auto doc = NewDoc();
    EXPECT_TRUE(doc->Open(name).ok);
    for (const TestMail& mail : mails) {
      auto record = std::make_unique<CMail>();
      record->subject = mail.subject;
      record->status = mail.status;
      record->attachments = mail.attachments;
      record->date = 1000 + doc->Count();
      doc->Add(std::move(record));
      EXPECT_TRUE(doc->StoreTextOfLast(mail.text));
    }
    EXPECT_TRUE(doc->Save().ok);
    return doc;
  }

  // The box as a fresh open finds it on disk.
  std::unique_ptr<CLPOSTDoc> Reopen(const std::string& name) {
    auto doc = NewDoc();
    EXPECT_TRUE(doc->Open(name).ok) << name;
    return doc;
  }

  // The text of every record, in order.
  static std::vector<std::string> Texts(CLPOSTDoc& doc) {
    std::vector<std::string> texts;
    for (int i = 0; i < doc.Count(); ++i) {
      texts.push_back(doc.ReadText(doc.RecordAt(i)->text_start, doc.RecordAt(i)->text_end).text);
    }
    return texts;
  }
  static std::vector<std::string> Subjects(const CLPOSTDoc& doc) {
    std::vector<std::string> subjects;
    for (int i = 0; i < doc.Count(); ++i) subjects.push_back(doc.RecordAt(i)->subject);
    return subjects;
  }

  TempDirectory dir_{true};
  Profile profile_{dir_.File("lpost.conf")};
  RecordingUserInterface ui_;
  RecordingCommands commands_;
};

}  // namespace lp::testing
