#pragma once

#include <gtest/gtest.h>

#include <string>

#include "config/profile.h"
#include "platform/file_system.h"
#include "tests/support/temp_directory.h"
#include "tests/ui/message_box_answerer.h"

// A dialog test on the settings file "lpost.conf" of a temporary
// directory, with the message boxes answered as scripted.

namespace lp::testing {

class SettingsFileTest : public ::testing::Test {
 protected:
  // The settings file as it is on disk.
  [[nodiscard]] std::string ConfBytes() const { return ReadFileBytes(dir_.File("lpost.conf")); }

  TempDirectory dir_;
  Profile profile_{FromNativePath(dir_.File("lpost.conf"))};
  MessageBoxAnswerer answers_;
};

}  // namespace lp::testing
