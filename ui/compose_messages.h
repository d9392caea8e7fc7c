#pragma once

// Texts of the compose window, UTF-8 (the widgets take them as QString).

namespace lp::compose_text {

inline constexpr char kNewMailTitle[] = "新規メール";
inline constexpr char kTo[] = "&To:";
inline constexpr char kFrom[] = "F&rom:";
inline constexpr char kSubject[] = "S&ubject";
inline constexpr char kCc[] = "&Cc:";
inline constexpr char kBcc[] = "&Bcc:";
inline constexpr char kAttach[] = "&Attach:";
inline constexpr char kNoSignature[] = "署名なし";
inline constexpr char kSend[] = "送信(&S)";
inline constexpr char kSave[] = "保存(&J)";
inline constexpr char kDraft[] = "下書き(&J)";
inline constexpr char kDiscard[] = "破棄(&D)";
inline constexpr char kShowHeader[] = "▼";
inline constexpr char kHideHeader[] = "▲";
inline constexpr char kSaveEdited[] = "編集メールの保存";
inline constexpr char kApplyTemplate[] = "ﾃﾝﾌﾟﾚｰﾄ適用...";
inline constexpr char kSaveTemplate[] = "ﾃﾝﾌﾟﾚｰﾄとして保存...";
inline constexpr char kInsertFile[] = "ﾃｷｽﾄﾌｧｲﾙ挿入...";
inline constexpr char kInsertDate[] = "今日の日付を挿入";
inline constexpr char kAskDiscard[] = "変更は全て破棄されます";
inline constexpr char kAttachTitle[] = "添付ﾌｧｲﾙ名の入力";
inline constexpr char kTemplateTitle[] = "ﾃﾝﾌﾟﾚｰﾄﾌｧｲﾙ名の入力";
inline constexpr char kSaveTemplateTitle[] = "テンプレートファイル名の入力";
inline constexpr char kInsertFileTitle[] = "挿入するﾌｧｲﾙ名の入力";

// The close dialog.
inline constexpr char kCloseTitle[] = "内容に変更があります";
inline constexpr char kCloseQuestion[] = "保存しますか？";
inline constexpr char kCloseSave[] = "保存(&S)";
inline constexpr char kCloseDiscard[] = "破棄(&J)";
inline constexpr char kMoveToDraftBox[] = "下書きBOXへ移動(&M)";
inline constexpr char kMoveToSendBox[] = "送信BOXへ移動(&M)";
inline constexpr char kMoveSaveAsSent[] = "送信済みで保存(&J)";
inline constexpr char kCancel[] = "キャンセル";

}  // namespace lp::compose_text
