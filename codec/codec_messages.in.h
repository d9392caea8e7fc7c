#pragma once

#include <string>
#include <string_view>

// Texts of the message codec: what the analysis of received mail writes into
// a mail's stored text and the message it shows when it cannot write, and
// the Japanese words of dates. Written in UTF-8; the build turns them into
// Shift_JIS (see the top-level CMakeLists.txt).

namespace lp::spool_messages {

// The box's text file would grow past the 4 GB its 32-bit offsets reach.
inline constexpr char kTextFileFull[] = "文書BOXのテキストファイルが4GBを超えます。整理するか別の文書BOXに受信してください";

// And " を受信しました\r\n\r\n": an attachment saved under its name.
inline constexpr std::string_view kAttachmentSavedBefore = "★添付ファイル ";
inline constexpr std::string_view kAttachmentSavedAfter = " を受信しました\r\n\r\n";
// " を受信しました。\r\n注：lpost.binというファイル名で保存されていますので、正しいファイル名\r\n
// 　　に変更してください。\r\n\r\n": a part without a usable name, saved as "lpost.bin".
inline constexpr std::string_view kAttachmentRenamedAfter =
    " を受信しました。\r\n注：lpost.binというファイル名で保存されていますので、正しいファイル名\r\n　　に変更してください。\r\n\r\n";

// "★添付ファイル %s を受信しました\r\n\r\n"
[[nodiscard]] inline std::string AttachmentSavedNote(std::string_view file_name) {
  return std::string(kAttachmentSavedBefore) + std::string(file_name) + std::string(kAttachmentSavedAfter);
}

// "★添付ファイル %s を受信しました。\r\n注：lpost.binというファイル名で保存されていますので、
// 正しいファイル名\r\n　　に変更してください。\r\n\r\n"
[[nodiscard]] inline std::string AttachmentRenamedNote(std::string_view file_name) {
  return std::string(kAttachmentSavedBefore) + std::string(file_name) + std::string(kAttachmentRenamedAfter);
}

// "★添付ファイル %s は保存しませんでした（1通の添付ファイルは%d個まで）\r\n\r\n": a part
// past the number of attachments one mail may save.
[[nodiscard]] inline std::string AttachmentDroppedNote(std::string_view file_name, int limit) {
  return std::string(kAttachmentSavedBefore) + std::string(file_name) + " は保存しませんでした（1通の添付ファイルは" +
         std::to_string(limit) + "個まで）\r\n\r\n";
}

// "%s に書き込めませんでした: %s": a file of the analysis (an attachment or
// the box's text file) could not be written, with the system's reason.
[[nodiscard]] inline std::string WriteFailedMessage(std::string_view path, std::string_view reason) {
  return std::string(path) +
         " に書き込めませんでした: " +
         std::string(reason);
}

}  // namespace lp::spool_messages

namespace lp::date_texts {

// Sunday first, as the C library counts weekdays.
inline constexpr const char* kWeekdays[7] = {"日", "月", "火", "水", "木", "金", "土"};
inline constexpr char kMorning[] = "午前";
inline constexpr char kAfternoon[] = "午後";
inline constexpr char kReiwa[] = "令和";
inline constexpr char kHeisei[] = "平成";
inline constexpr char kShowa[] = "昭和";

}  // namespace lp::date_texts

namespace lp {

// The analysis of a spool or file failed.
inline constexpr std::string_view kMessageAnalysisFailed = "解析に失敗しました";

}  // namespace lp

namespace lp::html_view_messages {

// The browser view of a mail and its warnings.
inline constexpr char kCannotWrite[] = "ファイルに書き込めません";
inline constexpr char kHtmlMailQuestion[] = "HTMLメールです。HTMLメールにはウイルスを含むなど有害なものが含まれる可能性があります。それでもブラウザで開きますか？";
inline constexpr char kScriptQuestion[] = "このHTMLにはスクリプトが含まれています。スクリプトにはウイルスなどの有害なものがある場合があります。それでも開きますか？";
inline constexpr char kIframeRefused[] =
    "このHTMLには自動的なファイル実行タグ（IFRAME）が含まれています。IFRAMEはウイルスなど有害なものに利用されますので現在の設定では開けません";

}  // namespace lp::html_view_messages
