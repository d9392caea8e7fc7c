#pragma once

// Every text that building an outgoing message shows; one
// place formats each.

namespace lp::compose_text {

inline constexpr char kManyToQuestion[] = "10人以上をToで送信します。よろしいですか？";  // 10人以上をToで送信します。よろしいですか？
inline constexpr char kManyCcQuestion[] = "10人以上をCcで送信します。よろしいですか？";  // 10人以上をCcで送信します。よろしいですか？
inline constexpr char kToLimit[] = "To:同時に100件までのメールしか送信できません";  // To:同時に100件までのメールしか送信できません
inline constexpr char kCcLimit[] = "Cc:同時に100件までのメールしか送信できません";  // Cc:同時に100件までのメールしか送信できません
inline constexpr char kAttachmentUnreadable[] = "添付ファイルが開けません";  // 添付ファイルが開けません
// Followed by the LAN directory.
inline constexpr char kLanDestinationUnwritable[] = "エラー：LANメール送信先が開けません\n\n";  // エラー：LANメール送信先が開けません\n\n

}  // namespace lp::compose_text
