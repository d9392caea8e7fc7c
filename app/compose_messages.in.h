#pragma once

// Texts of the compose window's core: saving a composed mail, templates and
// inserted files. Written in UTF-8; the build turns them into Shift_JIS.

namespace lp::compose_window_text {

inline constexpr char kMailWriteFailed[] = "Err:メールの書き込みが出来ません";
inline constexpr char kAskSaveGoneMailAsNew[] =
    "編集中のメールはもうメールボックスにありません。新しいメールとして保存しますか？";
inline constexpr char kFileCannotOpen[] = "ファイルが開けません";
inline constexpr char kInsertedFileMissing[] = "ファイルが見つかりません";
// Between the two goes the template's file name.
inline constexpr char kAskApplyTemplateBefore[] = "題名と本文を ";
inline constexpr char kAskApplyTemplateAfter[] = "のファイル名と内容にします";

}  // namespace lp::compose_window_text
