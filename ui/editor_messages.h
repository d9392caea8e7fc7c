#pragma once

// Texts of the mail editor's menu and questions, UTF-8.

namespace lp::editor_text {

inline constexpr char kUndo[] = "元に戻す(&U)";
inline constexpr char kCut[] = "切り取り(&T)";
inline constexpr char kCopy[] = "コピー(&C)";
inline constexpr char kPaste[] = "貼り付け(&P)";
inline constexpr char kSelectAll[] = "すべて選択(&A)";
inline constexpr char kFind[] = "検索(&F)...";
// After the word under the mouse.
inline constexpr char kCopyWordSuffix[] = "をコピー";
inline constexpr char kOpenWordSuffix[] = "を開く";
inline constexpr char kFindTitle[] = "検索";
inline constexpr char kFindPrompt[] = "検索する文字列(&N):";
inline constexpr char kReplaceTitle[] = "置換";
inline constexpr char kReplacePrompt[] = "置換後の文字列(&P):";

}  // namespace lp::editor_text
