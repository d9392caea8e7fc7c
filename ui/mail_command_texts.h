#pragma once

// Texts of the mailbox commands' dialogs (UTF-8).

namespace lp::ui_text {

inline constexpr char kSetLabelTitle[] = "ラベルを指定";
inline constexpr char kSetLabelPrompt[] = "ラベル(&L)";
inline constexpr char kNoLabel[] = "なし";
inline constexpr char kMoveDestinationTitle[] = "振り分け先指定";
inline constexpr char kMoveDestinationPrompt[] = "振り分け先の文書BOX(&B)";
inline constexpr char kNewMailboxTitle[] = "新規作成";
inline constexpr char kNewMailboxPrompt[] = "メールボックスの名前を入力してください(&N)";
inline constexpr char kNewMailboxDefault[] = "新規メールボックス";
inline constexpr char kBadMailboxName[] = "この名前はメールボックスの名前に使えません：";
inline constexpr char kNoOtherBox[] = "振り分け先にできる文書BOXがありません";

}  // namespace lp::ui_text
