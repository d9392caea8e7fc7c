#pragma once

// Every text the POP3 session shows; one place formats each.

namespace lp::pop_text {

// Messages.
inline constexpr char kPasswordError[] = "パスワードエラー";  // パスワードエラー
inline constexpr char kNoResponse[] = "応答がありません";  // 応答がありません
inline constexpr char kSendError[] = "送信エラー";  // 送信エラー
inline constexpr char kError[] = "エラー";                      // エラー
inline constexpr char kColon[] = "：";                                      // full-width colon
inline constexpr char kCannotConnect[] = "POPサーバに接続できません";  // POPサーバに接続できません
// Added for hostile or broken servers and TLS; the classic dialogue never shows them.
inline constexpr char kBadResponse[] = "サーバの応答が不正です";  // サーバの応答が不正です
inline constexpr char kCannotWrite[] = "ファイルに書き込めません";  // ファイルに書き込めません
inline constexpr char kNoStls[] = "サーバがSTLSに対応していません";  // サーバがSTLSに対応していません
inline constexpr char kNoApop[] = "サーバがAPOPに対応していません";  // サーバがAPOPに対応していません

// Progress caption (after the account name) and status texts.
inline constexpr char kReceivingFrom[] = "から受信中...";  // から受信中...
inline constexpr char kInitialising[] = "初期化中";                   // 初期化中
inline constexpr char kConnectingToHost[] = "ホストに接続中";  // ホストに接続中
inline constexpr char kHostConnected[] = "ホスト接続中";  // ホスト接続中
inline constexpr char kCheckingPassword[] = "パスワード確認中";  // パスワード確認中
inline constexpr char kCheckingMail[] = "メール確認中";  // メール確認中
inline constexpr char kCheckingNewMail[] = "未受信メール確認中";  // 未受信メール確認中
inline constexpr char kReceivingMail[] = "メール受信中 %d/%d";  // メール受信中 %d/%d
inline constexpr char kDeletingMail[] = "メール削除中 %d";  // メール削除中 %d
inline constexpr char kDisconnecting[] = "切断中";  // 切断中

}  // namespace lp::pop_text
