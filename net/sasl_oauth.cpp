#include "net/sasl_oauth.h"

#include <cstddef>

#include "codec/mime_encoding.h"
#include "net/json_object.h"

namespace lp {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
    const char y = (b[i] >= 'a' && b[i] <= 'z') ? static_cast<char>(b[i] - 'a' + 'A') : b[i];
    if (x != y) return false;
  }
  return true;
}

// The authorization identity of the GS2 header: "," and "=" are escaped.
std::string SaslName(std::string_view user) {
  std::string name;
  for (const char c : user) {
    if (c == ',') {
      name += "=2C";
    } else if (c == '=') {
      name += "=3D";
    } else {
      name += c;
    }
  }
  return name;
}

bool IsBase64Text(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) return false;
  std::size_t padding = 0;
  for (const char c : text) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
                        c == '/';
    if (c == '=') {
      ++padding;
    } else if (!letter || padding > 0) {
      return false;
    }
  }
  return padding <= 2;
}

}  // namespace

std::string_view MechanismName(OAuthMechanism mechanism) {
  return mechanism == OAuthMechanism::OAuthBearer ? "OAUTHBEARER" : "XOAUTH2";
}

bool ChooseOAuthMechanism(bool listed, std::string_view mechanisms, OAuthMechanism& chosen) {
  if (!listed) {
    chosen = OAuthMechanism::XOAuth2;
    return true;
  }
  bool bearer = false;
  bool xoauth2 = false;
  while (!mechanisms.empty()) {
    const std::size_t blank = mechanisms.find_first_of(" \t");
    const std::string_view name = mechanisms.substr(0, blank);
    mechanisms = blank == std::string_view::npos ? std::string_view() : mechanisms.substr(blank + 1);
    bearer = bearer || EqualsIgnoringCase(name, "OAUTHBEARER");
    xoauth2 = xoauth2 || EqualsIgnoringCase(name, "XOAUTH2");
  }
  if (!bearer && !xoauth2) return false;
  chosen = bearer ? OAuthMechanism::OAuthBearer : OAuthMechanism::XOAuth2;
  return true;
}

std::string OAuthInitialResponse(OAuthMechanism mechanism, std::string_view user, std::string_view access_token,
                                 std::string_view host, int port) {
  std::string message;
  if (mechanism == OAuthMechanism::XOAuth2) {
    message = "user=" + std::string(user) + "\x01" + "auth=Bearer " + std::string(access_token) + "\x01\x01";
  } else {
    message = "n,a=" + SaslName(user) + ",\x01";
    if (!host.empty()) message += "host=" + std::string(host) + "\x01" + "port=" + std::to_string(port) + "\x01";
    message += "auth=Bearer " + std::string(access_token) + "\x01\x01";
  }
  return Base64EncodeBlock(message);
}

std::string_view OAuthFailureAcknowledgement(OAuthMechanism mechanism) {
  return mechanism == OAuthMechanism::OAuthBearer ? "AQ==" : "";
}

std::string OAuthFailureStatus(std::string_view base64_challenge) {
  while (!base64_challenge.empty() &&
         (base64_challenge.back() == ' ' || base64_challenge.back() == '\r' || base64_challenge.back() == '\n')) {
    base64_challenge.remove_suffix(1);
  }
  if (!IsBase64Text(base64_challenge)) return {};
  const std::string json = Base64DecodeBytes(base64_challenge);
  const std::optional<JsonObject> object = ParseJsonObject(json);
  if (!object) return {};
  const std::optional<std::string> found = JsonString(*object, "status");
  if (!found) return {};
  const std::string& status = *found;
  // The status is shown to the user; it stays short and printable.
  for (const char c : status) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) return {};
  }
  if (status.empty() || status.size() > 64) return {};
  return status;
}

bool UsableInCommand(std::string_view credential) {
  return credential.find_first_of(std::string_view("\r\n\0\x01", 4)) == std::string_view::npos;
}

}  // namespace lp
