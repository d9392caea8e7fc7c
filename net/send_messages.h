#pragma once

// Every text a send run shows, in Shift_JIS; one place formats each.

namespace lp::send_text {

// Notices.
inline constexpr char kNothingToSend[] =
    "\x91\x97\x90M\x82\xB7\x82\xE9\x83\x81\x81[\x83\x8B\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // 送信するメールがありません
inline constexpr char kSendFinished[] =
    "\x83\x81\x81[\x83\x8B\x82\xCC\x91\x97\x90M\x82\xAA\x8FI\x82\xED\x82\xE8\x82\xDC\x82\xB5\x82\xBD";  // メールの送信が終わりました
inline constexpr char kCannotConnectSmtp[] =
    "Err:SMTP\x83T\x81[\x83o\x82\xC9\x90\xDA\x91\xB1\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1";  // Err:SMTPサーバに接続できません
// Followed by the path of the list file.
inline constexpr char kAddressFileMissing[] =
    "\x83\x41\x83h\x83\x8C\x83X\x83t\x83@\x83\x43\x83\x8B\x82\xAA\x82\xDD\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9"
    "\x82\xF1 - ";  // アドレスファイルがみつかりません - 

// Followed by the path of the journal.
inline constexpr char kSentJournalUnwritable[] =
    "\x91\x97\x90M\x8D\xCF\x82\xDD\x82\xCC\x8BL\x98^\x82\xAA\x8F\x91\x82\xAF\x82\xDC\x82\xB9\x82\xF1\x81\x46";  // 送信済みの記録が書けません：

// The status window.
inline constexpr char kSendingCaption[] = "\x91\x97\x90M\x92\x86...";           // 送信中...
inline constexpr char kInitialising[] = "\x8F\x89\x8A\xFA\x89\xBB\x92\x86";    // 初期化中
// After the sent box's display name.
inline constexpr char kMovingSuffix[] = "\x82\xD6\x88\xDA\x93\xAE\x92\x86\x82\xC5\x82\xB7...";  // へ移動中です...

// Status bar.
inline constexpr char kReady[] = "\xDA\xC3\xDE\xA8";  // ﾚﾃﾞｨ
inline constexpr char kLastReceiveFormat[] = "R %02d/%02d %02d:%02d";
inline constexpr char kLastSendFormat[] = "S %02d/%02d %02d:%02d";

}  // namespace lp::send_text
