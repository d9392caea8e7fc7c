#pragma once

// Every text a send run shows; one place formats each.

namespace lp::send_text {

// Notices.
inline constexpr char kNothingToSend[] = "送信するメールがありません";  // 送信するメールがありません
inline constexpr char kSendFinished[] = "メールの送信が終わりました";  // メールの送信が終わりました
inline constexpr char kCannotConnectSmtp[] = "Err:SMTPサーバに接続できません";  // Err:SMTPサーバに接続できません
// Followed by the path of the list file.
inline constexpr char kAddressFileMissing[] = "アドレスファイルがみつかりません - ";  // アドレスファイルがみつかりません - 

// Followed by the path of the journal.
inline constexpr char kSentJournalUnwritable[] = "送信済みの記録が書けません：";  // 送信済みの記録が書けません：

// The status window.
inline constexpr char kSendingCaption[] = "送信中...";           // 送信中...
inline constexpr char kInitialising[] = "初期化中";    // 初期化中
// After the sent box's display name.
inline constexpr char kMovingSuffix[] = "へ移動中です...";  // へ移動中です...

// Status bar.
inline constexpr char kReady[] = "ﾚﾃﾞｨ";  // ﾚﾃﾞｨ
inline constexpr char kLastReceiveFormat[] = "R %02d/%02d %02d:%02d";
inline constexpr char kLastSendFormat[] = "S %02d/%02d %02d:%02d";

}  // namespace lp::send_text
