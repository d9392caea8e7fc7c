#pragma once

// Every text the SMTP session shows; one place formats each.

namespace lp::smtp_text {

// Messages.
inline constexpr char kCannotConnect[] = "SMTPサーバに接続できません";  // SMTPサーバに接続できません
// Followed by the whole reply.
inline constexpr char kErrorOccurred[] = "エラーが発生しました：";  // エラーが発生しました：
inline constexpr char kAuthNotSupported[] = "SMTP認証をサポートしていません";  // SMTP認証をサポートしていません
// Added for TLS and for broken servers or work files; the classic dialogue never shows them.
inline constexpr char kNoStartTls[] = "サーバがSTARTTLSに対応していません";  // サーバがSTARTTLSに対応していません
inline constexpr char kBadResponse[] = "サーバの応答が不正です";  // サーバの応答が不正です
inline constexpr char kNoResponse[] = "応答がありません";  // 応答がありません
inline constexpr char kSendError[] = "送信エラー";  // 送信エラー
// Followed by the path of the message file.
inline constexpr char kWorkFileUnreadable[] = "送信ファイルが読めません：";  // 送信ファイルが読めません：
// A refused CRAM-MD5 on a connection without TLS: LOGIN would hand the
// password to whoever sits in between. Followed by the server's reply.
inline constexpr char kCramRefusedInClear[] = "CRAM-MD5認証が拒否されました。暗号化されていない接続ではパスワードを送りません：";  // CRAM-MD5認証が拒否されました。暗号化されていない接続ではパスワードを送りません：
inline constexpr char kColon[] = "：";  // full-width colon

// Status texts.
inline constexpr char kConnecting[] = "SMTPサーバ接続中";  // SMTPサーバ接続中
inline constexpr char kSendingRecipient[] = "送信先送信中：%d/%d";  // 送信先送信中：%d/%d
inline constexpr char kSendingMail[] = "メール送信中：%d/%d";  // メール送信中：%d/%d
inline constexpr char kAuthStart[] = "SMTP認証開始";  // SMTP認証開始
inline constexpr char kAuthenticating[] = "SMTP認証中";  // SMTP認証中
inline constexpr char kAuthUser[] = "SMTP USER認証中";  // SMTP USER認証中
inline constexpr char kAuthPassword[] = "SMTP PASSWORD認証中";  // SMTP PASSWORD認証中
inline constexpr char kPlainAuthStart[] = "SMTP PLAIN認証開始";  // SMTP PLAIN認証開始
inline constexpr char kDisconnecting[] = "切断中";  // 切断中

}  // namespace lp::smtp_text
