#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/http_get.h"
#include "util/version_check.h"

// One version check's download: the version file fetched from the server
// address on the calling thread's event loop, then judged.

namespace lp {

class VersionDownload {
 public:
  using Done = std::function<void(VersionCheckResult)>;

  // Starts fetching. An address that cannot be split is judged at once:
  // `done` is called before Start returns, which then gives nullptr.
  // Otherwise `done` is called once from the event loop; it must not
  // destroy the VersionDownload itself (let it go afterwards).
  [[nodiscard]] static std::unique_ptr<VersionDownload> Start(std::string_view server_address,
                                                              std::time_t program_file_time,
                                                              std::chrono::milliseconds timeout, Done done);

 private:
  VersionDownload() = default;
  std::unique_ptr<HttpGet> get_;
};

}  // namespace lp
