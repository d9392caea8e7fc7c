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
inline constexpr char kSortTitle[] = "整列";
inline constexpr char kSortPrompt[] = "整列の基準(&K)";
inline constexpr char kSortKeyDate[] = "Date:";
inline constexpr char kSortKeyFrom[] = "From:";
inline constexpr char kSortKeySubject[] = "Subject:";
inline constexpr char kSortKeyTo[] = "To:";
inline constexpr char kSortKeyLabel[] = "ラベル";
inline constexpr char kSortKeyStatus[] = "状態";
inline constexpr char kSortKeyThread[] = "スレッド";
inline constexpr char kOpenBoxTitle[] = "文書BOXを開く";
inline constexpr char kImportFolderTitle[] = "取り込むフォルダ";
inline constexpr char kLabelTotalsTitle[] = "ラベル別集計";
inline constexpr char kLabelTotalsLabel[] = "ラベル";
inline constexpr char kLabelTotalsMails[] = "通数";
inline constexpr char kLabelTotalsUnread[] = "未読";
inline constexpr char kLabelTotalsAll[] = "合計";
inline constexpr char kNoOtherBox[] = "振り分け先にできる文書BOXがありません";

}  // namespace lp::ui_text
