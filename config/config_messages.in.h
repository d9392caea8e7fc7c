#pragma once

// Texts of the settings layer. Written in UTF-8; the build turns them into
// Shift_JIS (see the top-level CMakeLists.txt).

namespace lp {

// Default names of the fixed boxes ([System] DefaultFile, SendFile,
// SendDoneFile, TrashFile, DraftFile).
inline constexpr char kDefaultInboxFile[] = "受信.lp";
inline constexpr char kDefaultSendBoxFile[] = "送信.lp";
inline constexpr char kDefaultSentBoxFile[] = "送信済み.lp";
inline constexpr char kDefaultTrashBoxFile[] = "ごみ箱.lp";
inline constexpr char kDefaultDraftBoxFile[] = "下書き.lp";

// Names of new accounts and signatures (printf formats).
inline constexpr char kAccountNameFormat[] = "接続%02zu";
inline constexpr char kSignatureNameFormat[] = "署名%zu";

// The patrol and the connection commands.
inline constexpr char kNoPatrolTargetMessage[] = "巡回対象となる接続がありません";
inline constexpr char kNoDialUpEntryMessage[] = "接続先が設定されていません";

}  // namespace lp
