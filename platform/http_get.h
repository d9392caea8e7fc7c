#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// One HTTP or HTTPS GET on the calling thread's Qt event loop (standing in
// for the WinINet request of the version check): never from a cache, with
// the given Accept and User-Agent, redirects followed, the body bounded and
// the wait bounded by a timeout. The answer arrives through a callback, so
// nothing waits in a nested loop.

namespace lp {

struct HttpGetResult {
  enum class Outcome {
    Ok,            // a status below 300 and the body
    HttpError,     // the server answered with a status of 300 or more (the body is kept)
    NetworkError,  // no answer: name, connection, TLS ... (error_text says)
    TimedOut,      // nothing arrived for the whole timeout
  };
  Outcome outcome = Outcome::NetworkError;
  int status = 0;
  std::string body;
  std::string error_text;  // UTF-8, the network library's own text
};

struct HttpGetRequest {
  std::string url;  // UTF-8
  std::string accept = "text/*";
  std::string user_agent;
  std::chrono::milliseconds timeout{15000};
  // A longer body is a failure: the answer is held in memory.
  std::size_t max_body_bytes = 1 << 20;
  // Not empty: the request is a POST of this application/x-www-form-urlencoded form.
  std::string form;
  // False: a redirect is the answer itself (an HttpError), never followed.
  bool follow_redirects = true;
};

class HttpGet {
 public:
  using Done = std::function<void(HttpGetResult)>;

  // Starts the request; `done` is called once from the event loop, unless
  // the HttpGet is destroyed first (which aborts the request). `done` must
  // not destroy the HttpGet itself: the reply is still delivering its
  // signal then; let it go afterwards.
  [[nodiscard]] static std::unique_ptr<HttpGet> Start(const HttpGetRequest& request, Done done);
  ~HttpGet();
  HttpGet(const HttpGet&) = delete;
  HttpGet& operator=(const HttpGet&) = delete;

 private:
  struct Impl;
  explicit HttpGet(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace lp
