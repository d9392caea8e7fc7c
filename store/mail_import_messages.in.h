#pragma once

// Texts of the mail import from other programs' folders. Written in UTF-8;
// the build turns them into Shift_JIS (see the top-level CMakeLists.txt).

namespace lp::mail_import_messages {

// The closing line: messages imported, and those that could not be read.
inline constexpr char kSummaryFormat[] = "取り込み: %s通";
inline constexpr char kUnreadableFormat[] = ", %s通は読めませんでした";
// One line per box: source folder, box, messages imported, already there.
inline constexpr char kBoxLineFormat[] = "%s → %s: %s通 (取り込み済み %s通)";
// One line per problem: what could not be read, how many messages, why.
inline constexpr char kProblemLineFormat[] = "読めませんでした: %s (%s通): %s";
// A box whose mails had more attachments than one mail may save: the box,
// the parts not saved, the limit.
inline constexpr char kDroppedAttachmentsFormat[] = "%s: 添付ファイル %s個を保存しませんでした（1通%d個まで）";
inline constexpr char kCancelled[] = "取り込みを中止しました";
inline constexpr char kProgressFormat[] = "取り込み中: %s";

// Why something could not be read.
inline constexpr char kNotMail[] = "メールの形式ではありません";
inline constexpr char kEmptyMessage[] = "空のファイルです";
inline constexpr char kCannotOpen[] = "開けません";
inline constexpr char kCannotRead[] = "読み込めません";
// A named pipe, a device or a socket: never opened.
inline constexpr char kNotRegularFile[] = "通常のファイルではありません";
// A symbolic link to something outside the source: never followed.
inline constexpr char kLinkLeavesSource[] = "取り込み元の外を指すリンクです";
inline constexpr char kTooDeep[] = "フォルダが深すぎます";
inline constexpr char kCannotList[] = "フォルダを読めません";
inline constexpr char kNoMailFound[] = "メールが見つかりません";
inline constexpr char kBoxFailed[] = "文書BOXに書き込めません";
inline constexpr char kCannotCreateFolder[] = "フォルダを作成できませんでした";

}  // namespace lp::mail_import_messages
