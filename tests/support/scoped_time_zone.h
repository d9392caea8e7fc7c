#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

// Runs a test with the process's local zone set to `zone` (a POSIX TZ
// string such as "JST-9", so no zone database is needed) and puts the old
// one back.

namespace lp::testing {

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    if (previous_) {
      setenv("TZ", previous_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> previous_;
};

}  // namespace lp::testing
