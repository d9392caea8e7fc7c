#pragma once

// Every text the mail store shows or puts into an error. Written in UTF-8;
// the build turns them into Shift_JIS (see the top-level CMakeLists.txt).

namespace lp::store_messages {

inline constexpr char kTextFileOpenFailed[] = "Err:ファイルが開けません";
inline constexpr char kTextFileSeekFailed[] = "Err:ファイルSEEKが出来ません";

// Texts of the throwing file object.
inline constexpr char kFileOpenFailed[] = "ファイルのオープンに失敗しました";
inline constexpr char kFileSeekFailed[] = "ファイルのシークに失敗しました";
inline constexpr char kFileReadFailed[] = "ファイルの読込に失敗しました";
inline constexpr char kFileCloseFailed[] = "ファイルのクローズに失敗しました";
inline constexpr char kFileWriteFailed[] = "ファイルの書込に失敗しました";

// Index files that cannot be loaded or written.
inline constexpr char kIndexOpenFailed[] = "Err:文書BOXを開けません";
inline constexpr char kIndexSaveFailed[] = "Err:文書BOXを保存できません";
inline constexpr char kIndexUnreadable[] = "ファイルが読めません";

// Reasons why an object archive does not load.
inline constexpr char kArchiveTruncated[] = "ファイルが途中で切れています";
// The class name is not the expected one
inline constexpr char kArchiveForeignClass[] = "ファイルの形式が違います";
inline constexpr char kArchiveForeignSchema[] = "対応していない版です";
inline constexpr char kArchiveBadTag[] = "データが壊れています";
inline constexpr char kArchiveBadString[] = "文字列の長さが不正です";
inline constexpr char kArchiveBadCount[] = "件数が不正です";
inline constexpr char kArchiveTrailingBytes[] = "末尾に余分なデータがあります";

// Mailbox operations.
inline constexpr char kAskDeleteMail[] = "メールを削除しますか？";
inline constexpr char kAskDeleteMailForGood[] = "メールを完全に削除しますか？（ごみ箱には入りません）";
// After the name of the box the mail goes to
inline constexpr char kMovingTo[] = "へ移動中です...";
inline constexpr char kAskDeleteAttachments[] = "添付ファイルも削除しますか？";
// Title of the tree dialog that chooses where mail moves
inline constexpr char kMoveDestinationTitle[] = "振り分け先指定";
// Followed by the path
inline constexpr char kCannotOpenFile[] = "ファイルが開けません - ";
// Title of the file choice of the box import
inline constexpr char kImportBoxTitle[] = "取り込むメールボックス";
// Half-width katakana
inline constexpr char kImportBoxFilter[] = "ﾒｰﾙﾎﾞｯｸｽ(*.lp) |*.lp||";
inline constexpr char kOwnBoxOpenFailed[] = "Err:自メールBOXが開けません";
inline constexpr char kImportSourceOpenFailed[] = "Err:取込元ファイルが開けません";
inline constexpr char kAskEmptyTrash[] = "ごみ箱を空にします。メールの復活は出来ません。";
inline constexpr char kDeleteCompleted[] = "削除を完了しました";
inline constexpr char kTargetBoxOpenFailed[] = "Err:対象文書BOXが開けません";
// Followed by the path: a job on another thread holds the box now
inline constexpr char kBoxBusy[] = "文書BOXは処理中です。終わってからもう一度操作してください - ";
// Compaction could not put the compacted text in place:
// <text path> "が削除できませんでした。手動で削除後、mbwork.$$$ を" <text path> "に名前変更してください"
inline constexpr char kCompactRemoveFailed1[] = "が削除できませんでした。手動で削除後、mbwork.$$$ を";
inline constexpr char kCompactRemoveFailed2[] = "に名前変更してください";
// <text path> "に名前変更できませんでした。手動で変更してください"
inline constexpr char kCompactRenameFailed1[] = "mbwork.$$$ を";
inline constexpr char kCompactRenameFailed2[] = "に名前変更できませんでした。手動で変更してください";
inline constexpr char kAskJapanTime[] = "選択している文書の時間を日本時間にあわせますか？";

// The mailbox tree: item texts.
inline constexpr char kTextBoxRoot[] = "文書BOX";
inline constexpr char kTextReceive[] = "受信";
inline constexpr char kTextSend[] = "送信";
inline constexpr char kTextSent[] = "送信済み";
inline constexpr char kTextDraft[] = "下書き";
inline constexpr char kTextTrash[] = "ごみ箱";

// The mailbox tree's messages.
inline constexpr char kFolderNotCreated[] = "フォルダを作成できませんでした";
inline constexpr char kNameExists[] = "すでに同名の文書BOX/フォルダが存在します";
inline constexpr char kBoxNotCreated[] = "文書BOXを作成できませんでした";
inline constexpr char kSelectBox[] = "文書BOXを選択してください";
inline constexpr char kDeleteFolderPrefix[] = "文書BOXのフォルダ - ";
inline constexpr char kDeleteFolderSuffix[] = "を削除しますか？（注：配下全てゴミ箱に入ります）";
inline constexpr char kDeleteBoxPrefix[] = "文書BOX - ";
inline constexpr char kDeleteBoxSuffix[] = "を削除しますか？（注：文書がある場合、２個のファイルがゴミ箱に入ります）";
inline constexpr char kNotDeleted[] = "削除できませんでした";
inline constexpr char kNoTrashDeleteForGood[] = "ごみ箱が使えません。完全に削除しますか？（元に戻せません）";
inline constexpr char kNotEditable[] = "このBOXは編集できません";
inline constexpr char kNotRenamed[] = "変更できません";
inline constexpr char kNotMoved[] = "移動できません";
// Followed by the path of the open box
inline constexpr char kCloseBoxFirst[] = "開いている文書BOXは削除できません。ウィンドウを閉じてから削除してください - ";

}  // namespace lp::store_messages
