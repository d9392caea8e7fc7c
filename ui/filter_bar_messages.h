#pragma once

// Texts of the filter bar above a mail list (UTF-8).

namespace lp::ui_text {

inline constexpr char kFilterPlaceholder[] = "件名・差出人で絞り込み (Esc で解除)";
inline constexpr char kFilterBody[] = "本文も(&B)";
inline constexpr char kFilterUnread[] = "未読";
inline constexpr char kFilterLabelled[] = "ラベル付き";
inline constexpr char kFilterWorking[] = "絞り込み中...";
inline constexpr char kFilterShown[] = "%1 / %2 通";

}  // namespace lp::ui_text
