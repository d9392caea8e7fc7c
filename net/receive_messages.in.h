#pragma once

#include "codec/analyse_file_command.h"
#include "rules/sort_mails.h"

// Every text the receive pipeline and its commands show.

namespace lp::receive_text {

inline constexpr char kNewMailFormat[] = "新しいメールが %d通 到着しました";
inline constexpr char kNoNewMail[] = "新しいメールはありません";
// %d通の送信メールを作成しました (the sort rules' own notice text)
inline constexpr const char* kCreatedMailFormat = kCreatedOutgoingFormat;
// 解析に失敗しました
inline constexpr std::string_view kAnalysisFailed = kMessageAnalysisFailed;
inline constexpr char kCannotConnectPop[] = "Err:POPサーバに接続できません";
inline constexpr char kCannotDeleteSpool[] = "inbox.logが削除できません";
inline constexpr char kAskDeleteAll[] = "サーバ上のメールを全て削除しますか？";
inline constexpr char kDeleteAllFinished[] = "削除が終了しました";

// Status-bar texts.
inline constexpr char kConnectingPop[] = "POPサーバ接続中";
inline constexpr char kReady[] = "ﾚﾃﾞｨ";
// While received mail is analysed beside the open windows
inline constexpr char kAnalysing[] = "受信したメールを解析中";

}  // namespace lp::receive_text
