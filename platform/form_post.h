#pragma once

#include <functional>
#include <memory>
#include <string>

// A form sent by HTTP POST (application/x-www-form-urlencoded), as OAuth
// 2.0 token endpoints take it. A redirect is never followed: a token
// request that is sent on to another place is refused.

namespace lp {

struct FormPostAnswer {
  bool reached = false;  // false: no answer at all (error_text says why)
  int status = 0;
  std::string body;
  std::string error_text;  // UTF-8
};

class FormPoster {
 public:
  virtual ~FormPoster() = default;
  using Done = std::function<void(FormPostAnswer)>;
  // Calls `done` once, from the event loop (or at once when the request
  // cannot start).
  virtual void PostForm(const std::string& url, const std::string& form, Done done) = 0;
};

// The poster of Qt Network on the calling thread's event loop: bounded
// answer, bounded wait, no cache, no redirects.
[[nodiscard]] std::unique_ptr<FormPoster> MakeQtFormPoster();

}  // namespace lp
