#pragma once

#include <string>
#include <string_view>

// Texts the analysis of received mail writes into a mail's stored text, and
// the message it shows when it cannot write.

namespace lp::spool_messages {

// "★添付ファイル " and " を受信しました\r\n\r\n": an attachment saved under its name.
inline constexpr std::string_view kAttachmentSavedBefore = "\x81\x9A\x93\x59\x95\x74\x83\x74\x83\x40\x83\x43\x83\x8B ";
inline constexpr std::string_view kAttachmentSavedAfter =
    " \x82\xF0\x8E\xF3\x90\x4D\x82\xB5\x82\xDC\x82\xB5\x82\xBD\r\n\r\n";
// " を受信しました。\r\n注：lpost.binというファイル名で保存されていますので、正しいファイル名\r\n
// 　　に変更してください。\r\n\r\n": a part without a usable name, saved as "lpost.bin".
inline constexpr std::string_view kAttachmentRenamedAfter =
    " \x82\xF0\x8E\xF3\x90\x4D\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42\r\n"
    "\x92\x8D\x81\x46lpost.bin\x82\xC6\x82\xA2\x82\xA4\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC\x82\xC5\x95\xDB"
    "\x91\xB6\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x82\xCC\x82\xC5\x81\x41\x90\xB3\x82\xB5\x82\xA2"
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC\r\n"
    "\x81\x40\x81\x40\x82\xC9\x95\xCF\x8D\x58\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42\r\n\r\n";

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
         " \x82\xC9\x8F\x91\x82\xAB\x8D\x9E\x82\xDF\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD: " +
         std::string(reason);
}

}  // namespace lp::spool_messages
