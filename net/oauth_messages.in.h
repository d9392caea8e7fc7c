#pragma once

// The texts of an OAuth 2.0 login and of a server that refuses passwords,
// shared by the POP3 and SMTP sessions.

namespace lp::oauth_text {

inline constexpr char kNeedsTls[] =
    "OAuth 2.0 の認証は暗号化した接続 (SSL/TLS または STARTTLS) でだけ使えます。接続の設定で暗号化を選んでください";
inline constexpr char kSignInNeeded[] =
    "OAuth 2.0 のサインインが必要です。接続の設定で「サインイン」を押してください";
// Followed by the server's status (invalid_token ...) or reply.
inline constexpr char kRefused[] = "OAuth 2.0 の認証が拒否されました：";
inline constexpr char kNotOffered[] = "サーバが OAuth 2.0 の認証 (XOAUTH2 / OAUTHBEARER) に対応していません";
// Followed by the server's reply.
inline constexpr char kPasswordsOff[] =
    "このサーバはパスワードでのログインを受け付けません。接続の設定で認証方式を「OAuth 2.0」にして「サインイン」してください：";

// Getting a fresh token. Each is followed by a detail where one is known.
inline constexpr char kNoProvider[] =
    "OAuth 2.0 の提供元が設定されていません。接続の設定で提供元を選んでください";
inline constexpr char kNoClientId[] =
    "OAuth 2.0 のクライアント ID が設定されていません。データフォルダの oauth-providers.ini に、提供元に登録したクライアント ID を書いてください：";
inline constexpr char kTokenServerUnreachable[] = "トークンを更新できません：";
inline constexpr char kTokenReplyInvalid[] = "トークンサーバの応答が不正です：";
inline constexpr char kTokensNotStored[] = "トークンを保存できません：";

}  // namespace lp::oauth_text
