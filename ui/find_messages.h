#pragma once

// Texts of the search dialog (UTF-8).

namespace lp::ui_text {

inline constexpr char kFindTitle[] = "検索";
inline constexpr char kFindText[] = "検索文字列(&F):";
inline constexpr char kFindField[] = "検索対象(&A):";
inline constexpr const char* kFindFields[] = {"全体", "To:", "From:", "Subject:", "本文"};
inline constexpr char kFindFoldCase[] = "大文字／小文字を区別しない(&O)";
inline constexpr char kFindFoldWidth[] = "全角／半角を区別しない(&Z)";
inline constexpr char kFindFoldKana[] = "カタカナ／ひらがなを区別しない(&K)";
inline constexpr char kFindRegex[] = "正規表現(&R)";
inline constexpr char kFindFromCurrent[] = "現在位置から検索(&S)";
inline constexpr char kFindBackward[] = "後方に検索(&B)";
inline constexpr char kFindStatus[] = "メールの状態(&T)";
inline constexpr const char* kFindStatuses[] = {"全て", "既読", "未読", "返信", "未送信", "送信済み"};
inline constexpr char kFindLabel[] = "ラベル(&L)";
inline constexpr char kFindLabelAny[] = "全て";
inline constexpr char kFindLabelNone[] = "なし";
inline constexpr char kFindStart[] = "開始";
inline constexpr char kFindCancel[] = "キャンセル";

}  // namespace lp::ui_text

namespace lp::ui_text {

inline constexpr char kSearchingTitle[] = "検索中";
inline constexpr char kSearchingText[] = "検索中です・・・";
inline constexpr char kWalkStop[] = "中止";
inline constexpr char kWalkNextBox[] = "次へ";

}  // namespace lp::ui_text
