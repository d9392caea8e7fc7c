#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "platform/form_post.h"
#include "platform/http_get.h"

namespace lp {
namespace {

// Token answers are small; a token endpoint that takes longer than this is down.
constexpr std::chrono::seconds kTimeout{30};
constexpr std::size_t kMaxAnswer = 64 * 1024;

class QtFormPoster final : public FormPoster {
 public:
  void PostForm(const std::string& url, const std::string& form, Done done) override {
    // Requests whose answer came are let go here, never inside their own signal.
    std::erase_if(requests_, [](const Request& request) { return *request.answered; });
    HttpGetRequest http;
    http.url = url;
    http.accept = "application/json";
    http.timeout = kTimeout;
    http.max_body_bytes = kMaxAnswer;
    http.form = form;
    http.follow_redirects = false;
    auto answered = std::make_shared<bool>(false);
    std::unique_ptr<HttpGet> get = HttpGet::Start(http, [answered, done = std::move(done)](HttpGetResult result) {
      *answered = true;
      FormPostAnswer answer;
      answer.status = result.status;
      answer.error_text = result.error_text;
      if (result.outcome == HttpGetResult::Outcome::HttpError && result.status < 400) {
        // A token request sent on to another place is not followed.
        answer.error_text = "the token endpoint redirects (HTTP " + std::to_string(result.status) + ")";
      } else {
        answer.reached =
            result.outcome == HttpGetResult::Outcome::Ok || result.outcome == HttpGetResult::Outcome::HttpError;
        answer.body = std::move(result.body);
      }
      done(std::move(answer));
    });
    requests_.push_back(Request{std::move(get), std::move(answered)});
  }

 private:
  struct Request {
    std::unique_ptr<HttpGet> get;
    std::shared_ptr<bool> answered;
  };
  std::vector<Request> requests_;
};

}  // namespace

std::unique_ptr<FormPoster> MakeQtFormPoster() { return std::make_unique<QtFormPoster>(); }

}  // namespace lp
