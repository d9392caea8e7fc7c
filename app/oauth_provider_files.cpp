#include "app/oauth_provider_files.h"

#include "config/oauth_providers.h"
#include "platform/file_system.h"

namespace lp {

std::vector<std::string> OAuthProviderFiles() {
  std::vector<std::string> files;
  const std::string installed = std::string(LP_INSTALLED_DATA_DIR) + "/" + kOAuthProviderFile;
  const std::string source = std::string(LP_SOURCE_DATA_DIR) + "/" + kOAuthProviderFile;
  files.push_back(PathExists(installed) ? installed : source);
  files.emplace_back(kOAuthProviderFile);
  return files;
}

}  // namespace lp
