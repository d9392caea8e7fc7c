#pragma once

#include <string>
#include <string_view>

// Texts the analysis of received mail writes into a mail's stored text, and
// the message it shows when it cannot write.

namespace lp::spool_messages {

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

// "%s に書き込めませんでした: %s": a file of the analysis (an attachment or
// the box's text file) could not be written, with the system's reason.
[[nodiscard]] inline std::string WriteFailedMessage(std::string_view path, std::string_view reason) {
  return std::string(path) +
         " に書き込めませんでした: " +
         std::string(reason);
}

}  // namespace lp::spool_messages
