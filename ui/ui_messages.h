#pragma once

// Texts of the desktop application's own windows, UTF-8 (the widgets take
// them as QString). Texts the core shows come from the core in Shift_JIS.

namespace lp::ui_text {

inline constexpr char kTitlePrefix[] = "Orvex Lanternpost - ";
inline constexpr char kColumnLabel[] = "ラベル";
inline constexpr char kColumnName[] = "名前";
inline constexpr char kColumnDate[] = "日付";
inline constexpr char kColumnSubject[] = "題名";
inline constexpr char kCancel[] = "キャンセル";
inline constexpr char kMailManagerTitle[] = "メールマネージャ";
inline constexpr char kSplitTakesEffectLater[] = "この設定は次のメールボックスを開くときから有効です";
inline constexpr char kAskExit[] = "Lanternpostを終了しますか？";
inline constexpr char kMailCountFormat[] = "%3d/%3d";
inline constexpr char kReceiveTimeFormat[] = "R %02d/%02d %02d:%02d";
inline constexpr char kSendTimeFormat[] = "S %02d/%02d %02d:%02d";
inline constexpr char kCannotOpenBox[] = "文書BOXを開けません";
inline constexpr char kHandedOver[] = "起動中のLanternpostに渡しました";
inline constexpr char kDataDirectoryBusy[] = "データディレクトリは別のプログラムが使用中です: ";
// Above the list of a box a job (an import, a compaction) holds.
inline constexpr char kBoxBusyNotice[] = "この文書BOXは処理中です。終わるとすべてのメールを表示します";


// The new-mail notice (%1: the count) and the tray icon's tooltip (%1: unread).
inline constexpr char kNewMailNotice[] = "新しいメールが %1通 到着しました";
inline constexpr char kTrayUnread[] = "Lanternpost - 未読 %1通";

// The question before each mail is fetched (confirm each mail).
inline constexpr char kConfirmTitle[] = "メールの確認";
inline constexpr char kConfirmReceive[] = "受信(&R)";
inline constexpr char kConfirmDelete[] = "削除(&D)";
inline constexpr char kConfirmSkip[] = "スキップ(&S)";
inline constexpr char kConfirmStop[] = "中止(&C)";

// The mail manager's name questions.
inline constexpr char kNewFolderTitle[] = "新規フォルダ";
inline constexpr char kNewFolderPrompt[] = "フォルダの名前を入力してください(&N)";
inline constexpr char kNewBoxTitle[] = "新規メールBOX";
inline constexpr char kNewBoxPrompt[] = "メールボックスの名前を入力してください(&N)";
// The box properties dialog.
inline constexpr char kBoxPropertiesTitle[] = "文書BOXのプロパティ";
inline constexpr char kFindBoxCheck[] = "全検索の際、検索対象とする";
inline constexpr char kAutoCompactCheck[] = "自動的にBOXを整理";

// The key customization dialog and its binding dialog.
inline constexpr char kKeyDialogTitle[] = "キーカスタマイズ";
inline constexpr char kKeyAdd[] = "追加(&A)...";
inline constexpr char kKeyChange[] = "変更(&E)...";
inline constexpr char kKeyDelete[] = "削除(&D)...";
inline constexpr char kKeyLoad[] = "読込(&R)...";
inline constexpr char kKeySaveAs[] = "別名保存(&S)...";
inline constexpr char kKeySaveAndClose[] = "保存して閉じる";
inline constexpr char kKeyColumnKey[] = "キー";
inline constexpr char kKeyColumnCommand[] = "機能";
inline constexpr char kKeyAskDelete[] = "削除しますか？";
inline constexpr char kKeyFileTitle[] = "ｷｰ定義ﾌｧｲﾙ名の入力";
inline constexpr char kKeyCannotLoad[] = "読み込めません";
inline constexpr char kKeyCannotSave[] = "保存できません";
inline constexpr char kKeyDefaultFileName[] = "lpost.key";
inline constexpr char kBindingKey[] = "キー(&K):";
inline constexpr char kBindingCtrl[] = "Ctrl(&C)";
inline constexpr char kBindingShift[] = "Shift(&H)";
inline constexpr char kBindingAlt[] = "Alt(&A)";
inline constexpr char kBindingCommand[] = "メニュー(&M):";
inline constexpr char kBindingNoCommand[] = "（なし）";
// The bound command's name goes between the two parts.
inline constexpr char kBindingTakenBefore[] = "このキーは ";
inline constexpr char kBindingTakenAfter[] = "に設定済みです。さらにこの機能を追加しますか？";

// The read window.
inline constexpr char kFileNotFound[] = "ファイルが見つかりませんでした";
inline constexpr char kChooseAttachmentTitle[] = "添付ファイルの選択";
inline constexpr char kOpenAttachment[] = "添付ファイルを開く(&O)";
inline constexpr char kSaveAllAttachments[] = "添付ファイルを全て保存(&A)...";
inline constexpr char kSaveAllFolderTitle[] = "添付ファイルの保存先";
inline constexpr char kCannotSaveAttachment[] = "保存できませんでした: ";
// %1 the number of files, %2 the folder.
inline constexpr char kAttachmentsSaved[] = "添付ファイルを %1 個、%2 に保存しました";
inline constexpr char kRedecode[] = "シフトJIS化(&S)";
inline constexpr char kCopyQuoted[] = "引用符付きコピー(&D)";
inline constexpr char kFontSettings[] = "フォントの設定(&F)...";
// The read window's toggle between the readable text and the mail's source
// (the HTML of an HTML mail, as stored).
inline constexpr char kShowSource[] = "ソース表示(&V)";
inline constexpr char kReply[] = "返信(&R)";
inline constexpr char kForward[] = "転送(&F)";
inline constexpr char kViewInBrowser[] = "ブラウザで表示(&H)";

// The import of other programs' mail.
inline constexpr char kImportTitle[] = "他のメールソフトから取り込む";
inline constexpr char kImportSource[] = "取り込み元(&S):";
inline constexpr char kImportChooseFolder[] = "フォルダ(&F)...";
inline constexpr char kImportChooseFile[] = "mboxファイル(&M)...";
inline constexpr char kImportScan[] = "調べる(&L)";
inline constexpr char kImportStopScan[] = "中止(&T)";
inline constexpr char kImportScanning[] = "調べています: %1";
inline constexpr char kImportScanCancelled[] = "調べるのを中止しました";
inline constexpr char kImportDestination[] = "取り込み先フォルダ(&D):";
inline constexpr char kImportTop[] = "（文書BOXのトップ）";
inline constexpr char kImportStart[] = "取り込み開始";
inline constexpr char kImportColumnFolder[] = "フォルダ";
inline constexpr char kImportColumnFormat[] = "形式";
inline constexpr char kImportColumnCount[] = "通数";
inline constexpr char kImportColumnBox[] = "取り込み先";
inline constexpr char kImportFoundFormat[] = "%1 フォルダ, %2通";
inline constexpr char kImportUnreadable[] = "読めません";
inline constexpr char kImportProgressCaption[] = "取り込み";
// The version check's dialog of a newer release.
inline constexpr char kNewReleaseTitle[] = "バージョンアップしています";
inline constexpr char kNewReleaseVersion[] = "最新版バージョン(&V):";
inline constexpr char kNewReleaseDate[] = "更新日付(&D):";
inline constexpr char kNewReleaseMessage[] = "メッセージ(&M):";
inline constexpr char kOpenProductPage[] = "ホームページを開いて最新版をダウンロードする";
inline constexpr char kClose[] = "閉じる";

}  // namespace lp::ui_text
