#pragma once

// Texts of the text export windows (UTF-8).

namespace lp::ui_text {

inline constexpr char kTextExportTitle[] = "テキスト出力";
inline constexpr char kTextExportRead[] = "既読";
inline constexpr char kTextExportUnread[] = "未読";
inline constexpr char kTextExportReplied[] = "返信済み";
inline constexpr char kTextExportSent[] = "送信済み";
inline constexpr char kTextExportUnsent[] = "未送信";
inline constexpr char kTextExportLabel[] = "ラベル(&L):";
inline constexpr char kTextExportEveryLabel[] = "全てのラベル";
inline constexpr char kTextExportFile[] = "ファイル名(&F):";
inline constexpr char kTextExportBrowse[] = "参照(&B)";
inline constexpr char kTextExportAllHeaders[] = "ヘッダも全て出力(&H)";
inline constexpr char kTextExportAllBoxes[] = "全ての文書BOXを対象とする(&A)";
inline constexpr char kTextExportAppend[] = "追加出力(&W)";
inline constexpr char kTextExportLoad[] = "設定の読込(&L)";
inline constexpr char kTextExportSave[] = "設定の保存(&S)";
inline constexpr char kTextExportFileTitle[] = "出力ファイル名の入力";
// %1 the number of mails, %2 the file.
inline constexpr char kTextExported[] = "%1通のメールを %2 に出力しました";
inline constexpr char kTextExportChoiceTitle[] = "テキスト出力設定の選択";
inline constexpr char kTextExportRename[] = "名前変更(&R)...";
inline constexpr char kTextExportDelete[] = "削除(&D)...";
inline constexpr char kTextExportUp[] = "▲";
inline constexpr char kTextExportDown[] = "▼";
inline constexpr char kTextExportAskDelete[] = "設定を削除しますか？";
inline constexpr char kTextExportAskName[] = "設定名を入力してください";
inline constexpr char kTextExportAskOverwrite[] = "同名の設定があります。上書きしますか？";
inline constexpr char kTextExportCancel[] = "キャンセル";
inline constexpr char kTextExportProgressTitle[] = "TEXT出力";
inline constexpr char kTextExportProgressText[] = "TEXT出力中です・・・";
// A walk over every box (search or export) runs already: a second waits.
inline constexpr char kWalkRunning[] = "全BOXの検索かテキスト出力を実行中です。終わってからもう一度操作してください";
// A compaction waits while such a walk reads the boxes.
inline constexpr char kCompactionWaitsForWalk[] =
    "全BOXの検索かテキスト出力を実行中のため整理できません。終わってからもう一度操作してください";

}  // namespace lp::ui_text
