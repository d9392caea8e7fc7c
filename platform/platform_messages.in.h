#pragma once

// Texts of the platform layer. Written in UTF-8; the build turns them into
// Shift_JIS (see the top-level CMakeLists.txt).

namespace lp::platform_messages {

// Reasons the network transport gives for a disconnect; the host or path
// follows in brackets.
inline constexpr char kNoResponse[] = "応答がありません";
inline constexpr char kHostNotFound[] = "ホストが見つかりません";
inline constexpr char kConnectFailed[] = "サーバに接続できません";
inline constexpr char kCertificateRejected[] = "サーバ証明書を確認できません";
inline constexpr char kTlsFailed[] = "暗号化通信を開始できません";
inline constexpr char kCertificateFileUnreadable[] = "証明書ファイルを読めません";

}  // namespace lp::platform_messages
