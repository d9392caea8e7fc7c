#include "platform/http_get.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <utility>

namespace lp {

struct HttpGet::Impl {
  QNetworkAccessManager manager;
  QNetworkReply* reply = nullptr;
  std::size_t max_body_bytes = 0;
  std::string body;
  bool too_long = false;
  Done done;

  ~Impl() {
    if (reply != nullptr) {
      QObject::disconnect(reply, nullptr, nullptr, nullptr);
      reply->abort();
      reply->deleteLater();
    }
  }

  void Finished() {
    QNetworkReply* finished = std::exchange(reply, nullptr);
    finished->deleteLater();
    HttpGetResult result;
    result.status = finished->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = finished->error();
    if (too_long) {
      result.outcome = HttpGetResult::Outcome::NetworkError;
      result.error_text = "the answer is longer than " + std::to_string(max_body_bytes) + " bytes";
    } else if (error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError) {
      // Only the transfer timeout cancels: a destroyed HttpGet hears nothing.
      result.outcome = HttpGetResult::Outcome::TimedOut;
      result.error_text = finished->errorString().toStdString();
    } else if (result.status >= 300) {
      result.outcome = HttpGetResult::Outcome::HttpError;
      result.error_text = finished->errorString().toStdString();
      result.body = std::move(body);
    } else if (error != QNetworkReply::NoError || result.status == 0) {
      result.outcome = HttpGetResult::Outcome::NetworkError;
      result.error_text = finished->errorString().toStdString();
    } else {
      result.outcome = HttpGetResult::Outcome::Ok;
      result.body = std::move(body);
    }
    const Done call = std::move(done);
    call(std::move(result));
  }

  void Read() {
    if (too_long) return;
    const QByteArray piece = reply->readAll();
    if (body.size() + static_cast<std::size_t>(piece.size()) > max_body_bytes) {
      too_long = true;
      // Not from inside the reply's own signal.
      QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
      return;
    }
    body.append(piece.constData(), static_cast<std::size_t>(piece.size()));
  }
};

std::unique_ptr<HttpGet> HttpGet::Start(const HttpGetRequest& request, Done done) {
  auto impl = std::make_unique<Impl>();
  impl->max_body_bytes = request.max_body_bytes;
  impl->done = std::move(done);
  QNetworkRequest http(QUrl(QString::fromStdString(request.url)));
  http.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  http.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  http.setRawHeader("Accept", QByteArray::fromStdString(request.accept));
  if (!request.user_agent.empty()) http.setRawHeader("User-Agent", QByteArray::fromStdString(request.user_agent));
  http.setTransferTimeout(static_cast<int>(request.timeout.count()));
  if (!request.follow_redirects) {
    http.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  }
  Impl* raw = impl.get();
  if (request.form.empty()) {
    raw->reply = raw->manager.get(http);
  } else {
    http.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/x-www-form-urlencoded"));
    raw->reply = raw->manager.post(http, QByteArray::fromStdString(request.form));
  }
  QObject::connect(raw->reply, &QNetworkReply::readyRead, [raw] { raw->Read(); });
  QObject::connect(raw->reply, &QNetworkReply::finished, [raw] {
    if (raw->reply != nullptr && raw->reply->isOpen()) raw->Read();
    raw->Finished();
  });
  return std::unique_ptr<HttpGet>(new HttpGet(std::move(impl)));
}

HttpGet::HttpGet(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
HttpGet::~HttpGet() = default;

}  // namespace lp
