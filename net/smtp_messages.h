#pragma once

// Every text the SMTP session shows, in Shift_JIS; one place formats each.

namespace lp::smtp_text {

// Messages.
inline constexpr char kCannotConnect[] =
    "SMTP\x83\x54\x81\x5B\x83\x6F\x82\xC9\x90\xDA\x91\xB1\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";  // SMTPサーバに接続できません
// Followed by the whole reply.
inline constexpr char kErrorOccurred[] =
    "\x83\x47\x83\x89\x81\x5B\x82\xAA\x94\xAD\x90\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x46";  // エラーが発生しました：
inline constexpr char kAuthNotSupported[] =
    "SMTP\x94\x46\x8F\xD8\x82\xF0\x83\x54\x83\x7C\x81\x5B\x83\x67\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";  // SMTP認証をサポートしていません
// Added for TLS and for broken servers or work files; the classic dialogue never shows them.
inline constexpr char kNoStartTls[] =
    "\x83\x54\x81\x5B\x83\x6F\x82\xAA" "STARTTLS\x82\xC9\x91\xCE\x89\x9E\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9"
    "\x82\xF1";  // サーバがSTARTTLSに対応していません
inline constexpr char kBadResponse[] =
    "\x83\x54\x81\x5B\x83\x6F\x82\xCC\x89\x9E\x93\x9A\x82\xAA\x95\x73\x90\xB3\x82\xC5\x82\xB7";  // サーバの応答が不正です
inline constexpr char kNoResponse[] = "\x89\x9E\x93\x9A\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // 応答がありません
inline constexpr char kSendError[] = "\x91\x97\x90\x4D\x83\x47\x83\x89\x81\x5B";  // 送信エラー
// Followed by the path of the message file.
inline constexpr char kWorkFileUnreadable[] =
    "\x91\x97\x90\x4D\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1\x81\x46";  // 送信ファイルが読めません：
inline constexpr char kColon[] = "\x81\x46";  // full-width colon

// Status texts.
inline constexpr char kConnecting[] = "SMTP\x83\x54\x81\x5B\x83\x6F\x90\xDA\x91\xB1\x92\x86";  // SMTPサーバ接続中
inline constexpr char kSendingRecipient[] =
    "\x91\x97\x90\x4D\x90\xE6\x91\x97\x90\x4D\x92\x86\x81\x46%d/%d";  // 送信先送信中：%d/%d
inline constexpr char kSendingMail[] = "\x83\x81\x81\x5B\x83\x8B\x91\x97\x90\x4D\x92\x86\x81\x46%d/%d";  // メール送信中：%d/%d
inline constexpr char kAuthStart[] = "SMTP\x94\x46\x8F\xD8\x8A\x4A\x8E\x6E";  // SMTP認証開始
inline constexpr char kAuthenticating[] = "SMTP\x94\x46\x8F\xD8\x92\x86";  // SMTP認証中
inline constexpr char kAuthUser[] = "SMTP USER\x94\x46\x8F\xD8\x92\x86";  // SMTP USER認証中
inline constexpr char kAuthPassword[] = "SMTP PASSWORD\x94\x46\x8F\xD8\x92\x86";  // SMTP PASSWORD認証中
inline constexpr char kPlainAuthStart[] = "SMTP PLAIN\x94\x46\x8F\xD8\x8A\x4A\x8E\x6E";  // SMTP PLAIN認証開始
inline constexpr char kDisconnecting[] = "\x90\xD8\x92\x66\x92\x86";  // 切断中

}  // namespace lp::smtp_text
