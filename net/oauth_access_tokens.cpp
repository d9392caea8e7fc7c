#include "net/oauth_access_tokens.h"

#include <charconv>
#include <ctime>
#include <utility>

#include "net/json_object.h"
#include "net/oauth_messages.h"

namespace lp {
namespace {

// Renewed this long before the stated expiry, so that a token never runs
// out in the middle of a login.
constexpr std::int64_t kRefreshMargin = 300;
// Anything longer is no token answer.
constexpr std::size_t kMaxTokenText = 16 * 1024;
constexpr std::int64_t kMaxLifetime = 10LL * 365 * 24 * 3600;

bool Printable(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) return false;
  }
  return true;
}

std::string Joined(std::string_view text, std::string_view detail) {
  std::string joined(text);
  joined.append(detail);
  return joined;
}

}  // namespace

std::string FormField(std::string_view name, std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string field(name);
  field += '=';
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      field += c;
    } else {
      field += '%';
      field += kHex[byte >> 4];
      field += kHex[byte & 0x0F];
    }
  }
  return field;
}

std::string RefreshForm(const OAuthProvider& provider, std::string_view refresh_token) {
  std::string form = FormField("grant_type", "refresh_token") + "&" + FormField("refresh_token", refresh_token) +
                     "&" + FormField("client_id", provider.client_id);
  if (!provider.client_secret.empty()) form += "&" + FormField("client_secret", provider.client_secret);
  return form;
}

TokenReply ReadTokenReply(const FormPostAnswer& answer, std::string_view previous_refresh, std::int64_t now) {
  TokenReply reply;
  if (!answer.reached) {
    reply.detail = answer.error_text;
    return reply;
  }
  const std::optional<JsonObject> object =
      answer.body.size() <= kMaxTokenText ? ParseJsonObject(answer.body) : std::nullopt;
  if (!object) {
    reply.detail = "HTTP " + std::to_string(answer.status) + ", not a JSON object";
    return reply;
  }
  if (answer.status != 200) {
    const std::optional<std::string> error = JsonString(*object, "error");
    reply.detail = "HTTP " + std::to_string(answer.status);
    if (error && Printable(*error) && error->size() <= 64) reply.detail += " " + *error;
    // RFC 6749 5.2: the refresh token is invalid, expired or revoked.
    if (error && *error == "invalid_grant") reply.outcome = TokenReply::Outcome::SignInNeeded;
    return reply;
  }
  const std::optional<std::string> access = JsonString(*object, "access_token");
  const std::optional<std::string> type = JsonString(*object, "token_type");
  if (!access || access->empty() || !Printable(*access) || (type && *type != "Bearer" && *type != "bearer")) {
    reply.detail = "no bearer access_token";
    return reply;
  }
  reply.tokens.access_token = *access;
  reply.tokens.refresh_token = std::string(previous_refresh);
  if (const auto refresh = object->find("refresh_token"); refresh != object->end()) {
    if (refresh->second.kind != JsonMember::Kind::String || !Printable(refresh->second.text)) {
      reply.detail = "refresh_token is not a token";
      return reply;
    }
    reply.tokens.refresh_token = refresh->second.text;
  }
  if (const auto expires = object->find("expires_in"); expires != object->end()) {
    std::int64_t seconds = 0;
    const std::string& text = expires->second.text;
    const bool number = expires->second.kind == JsonMember::Kind::Number ||
                        expires->second.kind == JsonMember::Kind::String;  // some servers quote it
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (!number || error != std::errc() || end != text.data() + text.size() || seconds <= 0 ||
        seconds > kMaxLifetime) {
      reply.detail = "expires_in is not a lifetime";
      return reply;
    }
    reply.tokens.expires_at = now + seconds;
  }
  reply.outcome = TokenReply::Outcome::Ok;
  return reply;
}

bool NeedsRefresh(const OAuthTokens& tokens, std::int64_t now) {
  if (tokens.access_token.empty()) return true;
  return tokens.expires_at != 0 && tokens.expires_at - kRefreshMargin <= now;
}

AccessTokens::AccessTokens(OAuthTokenStore& store, FormPoster& http, Clock clock)
    : store_(store), http_(http), clock_(std::move(clock)) {}

std::int64_t AccessTokens::Now() const { return clock_ ? clock_() : static_cast<std::int64_t>(std::time(nullptr)); }

void AccessTokens::Get(const OAuthProvider& provider, const std::string& key, Done done) {
  const std::optional<OAuthTokens> stored = store_.Load(key);
  AccessTokenResult result;
  if (stored && !NeedsRefresh(*stored, Now())) {
    result.ok = true;
    result.access_token = stored->access_token;
    done(std::move(result));
    return;
  }
  if (!stored || stored->refresh_token.empty()) {
    result.sign_in_needed = true;
    result.message = oauth_text::kSignInNeeded;
    done(std::move(result));
    return;
  }
  if (provider.client_id.empty()) {
    result.message = Joined(oauth_text::kNoClientId, provider.id);
    done(std::move(result));
    return;
  }
  const std::string refresh = stored->refresh_token;
  http_.PostForm(provider.token_url, RefreshForm(provider, refresh),
                 [this, key, refresh, done = std::move(done)](FormPostAnswer answer) {
                   const TokenReply reply = ReadTokenReply(answer, refresh, Now());
                   AccessTokenResult result;
                   switch (reply.outcome) {
                     case TokenReply::Outcome::Ok:
                       if (!store_.Save(key, reply.tokens)) {
                         result.message = Joined(oauth_text::kTokensNotStored, store_.ErrorText());
                         break;
                       }
                       result.ok = true;
                       result.access_token = reply.tokens.access_token;
                       break;
                     case TokenReply::Outcome::SignInNeeded:
                       // The refresh token is dead; keeping it would only fail again.
                       (void)store_.Remove(key);
                       result.sign_in_needed = true;
                       result.message = oauth_text::kSignInNeeded;
                       break;
                     case TokenReply::Outcome::Failed:
                       result.message = Joined(answer.reached ? oauth_text::kTokenReplyInvalid
                                                              : oauth_text::kTokenServerUnreachable,
                                               reply.detail);
                       break;
                   }
                   done(std::move(result));
                 });
}

void AccessTokens::Discard(const std::string& key) {
  std::optional<OAuthTokens> stored = store_.Load(key);
  if (!stored) return;
  stored->access_token.clear();
  stored->expires_at = 0;
  (void)store_.Save(key, *stored);
}

}  // namespace lp
