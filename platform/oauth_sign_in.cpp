#include "platform/oauth_sign_in.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QOAuth2AuthorizationCodeFlow>
#include <QOAuthHttpServerReplyHandler>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include <utility>

namespace lp {

namespace {

std::string Base64Url(const QByteArray& bytes) {
  return bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals).toStdString();
}

}  // namespace

std::string PkceChallenge(const std::string& verifier) {
  return Base64Url(QCryptographicHash::hash(QByteArray::fromStdString(verifier), QCryptographicHash::Sha256));
}

PkcePair MakePkcePair() {
  QByteArray random(32, '\0');
  QRandomGenerator::system()->generate(random.begin(), random.end());
  PkcePair pair;
  pair.verifier = Base64Url(random);
  pair.challenge = PkceChallenge(pair.verifier);
  return pair;
}

struct OAuthSignIn::Impl {
  QNetworkAccessManager manager;
  QOAuth2AuthorizationCodeFlow flow;
  QOAuthHttpServerReplyHandler* handler = nullptr;
  QTimer limit;
  PkcePair pkce;
  Done done;
  bool ended = false;

  void Finish(OAuthSignInResult result) {
    if (ended) return;
    ended = true;
    limit.stop();
    if (handler != nullptr) handler->close();
    const Done call = std::move(done);
    if (call) call(std::move(result));
  }
};

std::unique_ptr<OAuthSignIn> OAuthSignIn::Start(const OAuthSignInRequest& request, Open open, Done done) {
  auto impl = std::make_unique<Impl>();
  Impl* raw = impl.get();
  raw->done = std::move(done);
  raw->pkce = MakePkcePair();
  std::unique_ptr<OAuthSignIn> sign_in(new OAuthSignIn(std::move(impl)));

  raw->flow.setNetworkAccessManager(&raw->manager);
  raw->flow.setAuthorizationUrl(QUrl(QString::fromStdString(request.authorization_url)));
  raw->flow.setAccessTokenUrl(QUrl(QString::fromStdString(request.token_url)));
  raw->flow.setClientIdentifier(QString::fromStdString(request.client_id));
  if (!request.client_secret.empty()) {
    raw->flow.setClientIdentifierSharedKey(QString::fromStdString(request.client_secret));
  }
  raw->flow.setScope(QString::fromStdString(request.scope));
  // Port 0: the system picks a free port; the redirect names it.
  raw->handler = new QOAuthHttpServerReplyHandler(QHostAddress::LocalHost, 0, &raw->flow);
  raw->flow.setReplyHandler(raw->handler);

  const QUrlQuery extra(QString::fromStdString(request.extra_parameters));
  const QString login_hint = QString::fromStdString(request.login_hint);
  raw->flow.setModifyParametersFunction(
      [raw, extra, login_hint](QAbstractOAuth::Stage stage, QMultiMap<QString, QVariant>* parameters) {
        if (stage == QAbstractOAuth::Stage::RequestingAuthorization) {
          parameters->insert(QStringLiteral("code_challenge"), QString::fromStdString(raw->pkce.challenge));
          parameters->insert(QStringLiteral("code_challenge_method"), QStringLiteral("S256"));
          for (const auto& [key, value] : extra.queryItems(QUrl::FullyDecoded)) parameters->insert(key, value);
          if (!login_hint.isEmpty()) parameters->insert(QStringLiteral("login_hint"), login_hint);
        } else if (stage == QAbstractOAuth::Stage::RequestingAccessToken) {
          parameters->insert(QStringLiteral("code_verifier"), QString::fromStdString(raw->pkce.verifier));
        }
      });

  QObject::connect(&raw->flow, &QAbstractOAuth::authorizeWithBrowser,
                   [open](const QUrl& url) { open(url.toString(QUrl::FullyEncoded).toStdString()); });
  QObject::connect(&raw->flow, &QAbstractOAuth::granted, [raw] {
    OAuthSignInResult result;
    result.ok = !raw->flow.token().isEmpty();
    result.access_token = raw->flow.token().toStdString();
    result.refresh_token = raw->flow.refreshToken().toStdString();
    const QDateTime expiry = raw->flow.expirationAt();
    if (expiry.isValid()) result.expires_at = expiry.toSecsSinceEpoch();
    if (!result.ok) result.error_text = "the token endpoint gave no access token";
    raw->Finish(std::move(result));
  });
  QObject::connect(&raw->flow, &QAbstractOAuth2::error,
                   [raw](const QString& error, const QString& description, const QUrl&) {
                     OAuthSignInResult result;
                     result.error_text = (error + (description.isEmpty() ? QString() : ": " + description)).toStdString();
                     raw->Finish(std::move(result));
                   });
  QObject::connect(&raw->flow, &QAbstractOAuth::requestFailed, [raw](QAbstractOAuth::Error) {
    OAuthSignInResult result;
    result.error_text = "the token request failed";
    raw->Finish(std::move(result));
  });
  raw->limit.setSingleShot(true);
  QObject::connect(&raw->limit, &QTimer::timeout, [raw] {
    OAuthSignInResult result;
    result.error_text = "no sign-in arrived in time";
    raw->Finish(std::move(result));
  });

  if (!raw->handler->isListening()) {
    // Reported from the event loop, as every other outcome.
    QTimer::singleShot(0, &raw->flow, [raw] {
      OAuthSignInResult result;
      result.error_text = "cannot listen on 127.0.0.1 for the sign-in";
      raw->Finish(std::move(result));
    });
    return sign_in;
  }
  raw->limit.start(std::chrono::milliseconds(request.time_limit));
  raw->flow.grant();
  return sign_in;
}

OAuthSignIn::OAuthSignIn(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

OAuthSignIn::~OAuthSignIn() {
  impl_->ended = true;
  impl_->done = nullptr;
}

}  // namespace lp
