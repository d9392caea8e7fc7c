#include "util/version_download.h"

#include <string>

namespace lp {

std::unique_ptr<VersionDownload> VersionDownload::Start(std::string_view server_address,
                                                        std::time_t program_file_time,
                                                        std::chrono::milliseconds timeout, Done done) {
  const std::optional<ServerAddress> server = SplitServerAddress(server_address);
  if (!server) {
    done(AddressFailure(server_address));
    return nullptr;
  }
  HttpGetRequest request;
  request.url = ServerUrl(*server, kVersionFilePath);
  request.user_agent = kVersionUserAgent;
  request.timeout = timeout;
  std::unique_ptr<VersionDownload> download(new VersionDownload);
  download->get_ = HttpGet::Start(request, [program_file_time, done = std::move(done)](HttpGetResult result) {
    done(EvaluateVersionDownload(result, program_file_time));
  });
  return download;
}

}  // namespace lp
