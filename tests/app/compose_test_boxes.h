#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "config/profile.h"
#include "platform/code_page.h"
#include "platform/command_observer.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "store/mailbox_document.h"
#include "tests/support/recording_user_interface.h"
#include "tests/support/temp_directory.h"

// A data directory (entered) with a settings file and boxes of received and
// outgoing mail, for the tests of the compose core.

namespace lp::testing {

inline std::string Sjis(std::string_view utf8) { return Utf8ToCp932(utf8); }

class ComposeBoxTest : public ::testing::Test {
 protected:
  // Two accounts; the second one is not current.
  void SetUp() override {
    WriteFileBytes(dir_.File("lpost.conf"),
                   "[Mail]\r\nSetNo=0\r\n[Set]\r\nSetCount=2\r\nSet00=main\r\nSet01=work\r\n"
                   "[Set00]\r\nAdr=me@example.org\r\nName=Me\r\nSigne=2\r\n"
                   "[Set01]\r\nAdr=taro@example.jp\r\nName=Taro\r\nSigne=3\r\n");
    profile_ = std::make_unique<Profile>(dir_.File("lpost.conf"));
  }

  std::unique_ptr<CLPOSTDoc> OpenBox(const std::string& name) {
    if (!PathExists(name)) WriteFileBytes(ToNativePath(AbsolutePath(name)), "");
    auto box = std::make_unique<CLPOSTDoc>(*profile_, ui_, commands_);
    EXPECT_TRUE(box->Open(name).ok) << name;
    return box;
  }

  // Appends a mail with this record and stored text; returns its index.
  static int AddMail(CLPOSTDoc& box, CMail record, std::string_view text) {
    box.Add(std::make_unique<CMail>(std::move(record)));
    EXPECT_TRUE(box.StoreTextOfLast(text));
    EXPECT_TRUE(box.Save().ok);
    return box.Count() - 1;
  }

  static std::string TextOf(CLPOSTDoc& box, int index) {
    const CMail* mail = box.RecordAt(index);
    return mail == nullptr ? std::string() : box.ReadText(mail->text_start, mail->text_end).text;
  }

  TempDirectory dir_{true};
  std::unique_ptr<Profile> profile_;
  RecordingUserInterface ui_;
  NullCommandObserver commands_;
};

}  // namespace lp::testing
