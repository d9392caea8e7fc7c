#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/profile.h"
#include "platform/http_get.h"

// The version check's rules without the network: the vendor's server
// address (a setting), the version file's product line, and the comparison
// of its release date with the program file's time. The download is
// platform/http_get's; the questions and windows are the caller's.

namespace lp {

// Settings: section "Version", key "Server": the vendor's web server as
// "http://host[:port][/base]" (https accepted). The version file is
// "/soft/verup.txt" and the product page "/soft/lpost.html" below it.
inline constexpr char kVersionServerDefault[] = "http://www.orvex.example";
[[nodiscard]] std::string VersionServerAddress(const Profile& profile);

// The request's User-Agent: the fixed text the version server is sent,
// so that its answer does not depend on the client's build.
inline constexpr char kVersionUserAgent[] = "Mozilla/4.0*";

// The address split into its parts; nullopt when it cannot be.
struct ServerAddress {
  std::string scheme;  // "http" or "https", lower case
  std::string host;
  int port = 0;        // 0: the scheme's own
  std::string base;    // path before "/soft/...", without a trailing "/"
};
[[nodiscard]] std::optional<ServerAddress> SplitServerAddress(std::string_view address);
// The URL of a path below the server ("/soft/verup.txt").
[[nodiscard]] std::string ServerUrl(const ServerAddress& server, std::string_view path);

inline constexpr char kVersionFilePath[] = "/soft/verup.txt";
inline constexpr char kProductPagePath[] = "/soft/lpost.html";

// The product's line of the version file.
struct ReleaseInfo {
  std::string version;  // field 1, as written
  int year = 0;
  int month = 0;
  int day = 0;
  std::string message;  // field 3, as written
  // The release day at 00:00 local time.
  [[nodiscard]] std::time_t ReleaseTime() const;
  // "%Y/%m/%d".
  [[nodiscard]] std::string DateText() const;
};

// The first line that starts with "Lanternpost," (lines end in "\n", a "\r"
// is dropped), with a date whose year is 2001-2036, month 1-12 and day
// 1-31; nullopt otherwise.
[[nodiscard]] std::optional<ReleaseInfo> FindRelease(std::string_view version_file);

// A program file changed before the release day is older than the release.
[[nodiscard]] bool IsOlderThanRelease(std::time_t program_file_time, const ReleaseInfo& release);

// What the check found after the download, with the messages to show in
// their order (Shift_JIS).
struct VersionCheckResult {
  enum class Outcome { NewerRelease, UpToDate, Failed };
  Outcome outcome = Outcome::Failed;
  ReleaseInfo release;            // NewerRelease
  std::vector<std::string> messages;  // UpToDate and Failed
};
[[nodiscard]] VersionCheckResult EvaluateVersionDownload(const HttpGetResult& download,
                                                         std::time_t program_file_time);
// The failure of an address that cannot be split.
[[nodiscard]] VersionCheckResult AddressFailure(std::string_view address);

}  // namespace lp
