#pragma once

#include <string>
#include <string_view>

// The two SASL mechanisms that carry an OAuth 2.0 bearer token to a mail
// server: OAUTHBEARER (RFC 7628) and the older XOAUTH2 that Google and
// Microsoft introduced. Both send the token in one initial response; a
// server that refuses it answers with a challenge holding a JSON status,
// which the client acknowledges before the server ends the exchange.

namespace lp {

enum class OAuthMechanism { XOAuth2, OAuthBearer };

// The mechanism's name on the wire ("XOAUTH2", "OAUTHBEARER").
[[nodiscard]] std::string_view MechanismName(OAuthMechanism mechanism);

// Which mechanism to use, from the names a server lists (CAPA "SASL" or
// EHLO "AUTH" parameters, blank separated): OAUTHBEARER when offered, else
// XOAUTH2. `listed` false (the server names no mechanisms) gives XOAUTH2,
// which every provider that takes tokens understands; nothing when the list
// names neither.
[[nodiscard]] bool ChooseOAuthMechanism(bool listed, std::string_view mechanisms, OAuthMechanism& chosen);

// The initial client response, already Base64 encoded. `host` and `port`
// go into OAUTHBEARER only.
[[nodiscard]] std::string OAuthInitialResponse(OAuthMechanism mechanism, std::string_view user,
                                               std::string_view access_token, std::string_view host, int port);

// The client's answer to a failure challenge, Base64 encoded without the
// line end: empty for XOAUTH2, a single 0x01 for OAUTHBEARER.
[[nodiscard]] std::string_view OAuthFailureAcknowledgement(OAuthMechanism mechanism);

// The status of a failure challenge (the Base64 text after "+ " or "334 ",
// a line end allowed):
// "invalid_token", "insufficient_scope", or Google's numeric "400"/"401".
// Empty when the challenge is not a Base64 JSON object with a string
// status; such a challenge is answered with the SASL cancel "*".
[[nodiscard]] std::string OAuthFailureStatus(std::string_view base64_challenge);

// Whether a credential could end the command line it travels in.
[[nodiscard]] bool UsableInCommand(std::string_view credential);

}  // namespace lp
