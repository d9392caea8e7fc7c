#include "util/version_check.h"

#include <charconv>
#include <cstdio>

#include "codec/ascii_case.h"
#include "platform/code_page.h"
#include "util/util_messages.h"

namespace lp {
namespace {

constexpr char kProductPrefix[] = "Lanternpost,";
constexpr int kFirstYear = 2001;
constexpr int kLastYear = 2036;

std::optional<int> Number(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// Field n: the text after the n-th "," up to the next "," or the end.
std::string Field(std::string_view line, int n) {
  std::size_t start = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) return {};
    start = comma + 1;
  }
  const std::size_t end = line.find(',', start);
  return std::string(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

VersionCheckResult Failure(std::vector<std::string> first_messages) {
  VersionCheckResult result;
  result.messages = std::move(first_messages);
  result.messages.emplace_back(util_messages::kVersionInfoFailed);
  return result;
}

}  // namespace

std::string VersionServerAddress(const Profile& profile) {
  return profile.GetString("Version", "Server", kVersionServerDefault);
}

std::optional<ServerAddress> SplitServerAddress(std::string_view address) {
  const std::size_t scheme_end = address.find("://");
  if (scheme_end == std::string_view::npos) return std::nullopt;
  ServerAddress server;
  server.scheme = AsciiLowered(address.substr(0, scheme_end));
  if (server.scheme != "http" && server.scheme != "https") return std::nullopt;
  std::string_view rest = address.substr(scheme_end + 3);
  const std::size_t slash = rest.find('/');
  std::string_view authority = rest.substr(0, slash);
  std::string_view path = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  if (const std::size_t colon = authority.rfind(':'); colon != std::string_view::npos) {
    const std::optional<int> port = Number(authority.substr(colon + 1));
    if (!port || *port < 1 || *port > 65535) return std::nullopt;
    server.port = *port;
    authority = authority.substr(0, colon);
  }
  if (authority.empty()) return std::nullopt;
  for (const char c : authority) {
    const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                         c == '-' || c == '[' || c == ']' || c == ':';
    if (!allowed) return std::nullopt;
  }
  server.host = std::string(authority);
  while (!path.empty() && path.back() == '/') path.remove_suffix(1);
  for (const char c : path) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '?' || c == '#') return std::nullopt;
  }
  server.base = std::string(path);
  return server;
}

std::string ServerUrl(const ServerAddress& server, std::string_view path) {
  std::string url = server.scheme + "://" + server.host;
  if (server.port != 0) url += ":" + std::to_string(server.port);
  return url + server.base + std::string(path);
}

std::time_t ReleaseInfo::ReleaseTime() const {
  std::tm fields{};
  fields.tm_year = year - 1900;
  fields.tm_mon = month - 1;
  fields.tm_mday = day;
  fields.tm_isdst = -1;
  return std::mktime(&fields);
}

std::string ReleaseInfo::DateText() const {
  char text[16];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d", year, month, day);
  return text;
}

std::optional<ReleaseInfo> FindRelease(std::string_view version_file) {
  std::size_t start = 0;
  while (start <= version_file.size()) {
    const std::size_t end = version_file.find('\n', start);
    std::string line(version_file.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    std::erase(line, '\r');
    if (line.rfind(kProductPrefix, 0) == 0) {
      ReleaseInfo release;
      release.version = Field(line, 1);
      release.message = Field(line, 3);
      const std::string date = Field(line, 2);
      const std::size_t first = date.find('/');
      const std::size_t second = first == std::string::npos ? std::string::npos : date.find('/', first + 1);
      if (second == std::string::npos) return std::nullopt;
      const std::optional<int> year = Number(std::string_view(date).substr(0, first));
      const std::optional<int> month = Number(std::string_view(date).substr(first + 1, second - first - 1));
      const std::optional<int> day = Number(std::string_view(date).substr(second + 1));
      if (!year || !month || !day || *year < kFirstYear || *year > kLastYear || *month < 1 || *month > 12 ||
          *day < 1 || *day > 31) {
        return std::nullopt;
      }
      release.year = *year;
      release.month = *month;
      release.day = *day;
      return release;
    }
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return std::nullopt;
}

bool IsOlderThanRelease(std::time_t program_file_time, const ReleaseInfo& release) {
  return program_file_time < release.ReleaseTime();
}

VersionCheckResult AddressFailure(std::string_view address) {
  return Failure({std::string(address) + util_messages::kAddressUnusable});
}

VersionCheckResult EvaluateVersionDownload(const HttpGetResult& download, std::time_t program_file_time) {
  switch (download.outcome) {
    case HttpGetResult::Outcome::Ok: break;
    case HttpGetResult::Outcome::HttpError: return Failure({});
    case HttpGetResult::Outcome::NetworkError:
    case HttpGetResult::Outcome::TimedOut:
      return Failure({std::string(util_messages::kNetworkErrorPrefix) + Utf8ToCp932(download.error_text)});
  }
  const std::optional<ReleaseInfo> release = FindRelease(download.body);
  if (!release) return Failure({});
  VersionCheckResult result;
  result.release = *release;
  if (IsOlderThanRelease(program_file_time, *release)) {
    result.outcome = VersionCheckResult::Outcome::NewerRelease;
  } else {
    result.outcome = VersionCheckResult::Outcome::UpToDate;
    result.messages.emplace_back(util_messages::kUpToDate);
  }
  return result;
}

}  // namespace lp
