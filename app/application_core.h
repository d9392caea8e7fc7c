#pragma once

#include <memory>
#include <optional>
#include <string>

#include "config/app_settings.h"
#include "config/profile.h"

// The application object without its windows: it owns the settings file
// and the settings held in memory. Start-up enters the data directory,
// locates (and migrates) "lpost.conf", loads the settings, creates the fixed
// boxes and directories and runs the one-time transfer; Exit writes back
// what the program keeps in memory. The desktop application and the command
// line both start through it.

namespace lp {

class ApplicationCore {
 public:
  // `data_dir_option` is the --data-dir value (native path), if any.
  [[nodiscard]] bool Start(const std::optional<std::string>& data_dir_option, std::string* error);
  void Exit();

  [[nodiscard]] Profile& profile() { return *profile_; }
  [[nodiscard]] AppSettings& settings() { return settings_; }
  // Shift_JIS path of the data directory (the working directory).
  [[nodiscard]] const std::string& data_directory() const { return data_directory_; }

 private:
  std::unique_ptr<Profile> profile_;
  AppSettings settings_;
  std::string data_directory_;
};

}  // namespace lp
