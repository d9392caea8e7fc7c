#include "app/application_core.h"

#include "platform/data_directory.h"
#include "platform/file_system.h"

namespace lp {

bool ApplicationCore::Start(const std::optional<std::string>& data_dir_option, std::string* error) {
  if (!EnterDataDirectory(ResolveDataDirectory(data_dir_option), error)) return false;
  data_directory_ = CurrentDirectory();
  profile_ = std::make_unique<Profile>(LocateSettingsFile());
  settings_.Load(*profile_);
  settings_.CreateBoxesAndDirectories(*profile_);
  settings_.RunOneTimeTransfer(*profile_);
  return true;
}

void ApplicationCore::Exit() {
  if (profile_) settings_.WriteBack(*profile_);
}

}  // namespace lp
